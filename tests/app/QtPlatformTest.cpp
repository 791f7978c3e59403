// The real desktop's message boxes: each is titled with the program's name,
// although no application display name is set (that would end every window
// title with it), and its text can be selected.
#include "app/Platform.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace {

struct BoxCase {
    const char* name;
    std::function<void(QtPlatform&)> show;
    QMessageBox::Icon icon;
};

void PrintTo(const BoxCase& box, std::ostream* out) {
    *out << box.name;
}

class QtPlatformBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(QtPlatformBoxes, AreTitledWithTheProgramsName) {
    QtPlatform platform;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextInteractionFlags interaction;
    bool seen = false;
    // Closes the box once it is up, after noting what it shows.
    std::function<void()> closeWhenUp;
    closeWhenUp = [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            interaction = box->textInteractionFlags();
            seen = true;
            box->done(QMessageBox::Ok);
            return;
        }
        QTimer::singleShot(10, closeWhenUp);
    };
    QTimer::singleShot(0, closeWhenUp);
    GetParam().show(platform);
    ASSERT_TRUE(seen);
    EXPECT_EQ(title, "VORSEN");
    EXPECT_EQ(text, "the text");
    EXPECT_EQ(icon, GetParam().icon);
    // An address or a file name in the text can be copied out of the box.
    EXPECT_TRUE(interaction.testFlag(Qt::TextSelectableByMouse));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

INSTANTIATE_TEST_SUITE_P(
    EveryBox, QtPlatformBoxes,
    ::testing::Values(
        BoxCase{"Warning", [](QtPlatform& p) { p.Warning("the text"); }, QMessageBox::Warning},
        BoxCase{"Information", [](QtPlatform& p) { p.Information("the text"); },
                QMessageBox::Information},
        BoxCase{"Message", [](QtPlatform& p) { p.Message("the text"); }, QMessageBox::NoIcon},
        BoxCase{"ErrorReport", [](QtPlatform& p) { p.ErrorReport("the text"); },
                QMessageBox::Critical}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

} // namespace
