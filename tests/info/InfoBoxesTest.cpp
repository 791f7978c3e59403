#include "info/About.h"
#include "info/DonationForm.h"
#include "info/HoverLabel.h"
#include "info/Links.h"

#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

enum class Box { About, Donation };

std::unique_ptr<QDialog> OpenBox(Box box, Platform& platform) {
    std::unique_ptr<QDialog> dialog;
    if (box == Box::About) {
        dialog = std::make_unique<TAboutBox>(platform);
    } else {
        dialog = std::make_unique<TDonationBox>(platform);
    }
    dialog->show();
    return dialog;
}

HoverLabel* Label(QDialog& dialog, const char* name) {
    auto* label = dialog.findChild<HoverLabel*>(name);
    EXPECT_NE(label, nullptr) << name;
    return label;
}

void SendEnter(QWidget* widget) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(widget, &enter);
}

void SendLeave(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

::testing::AssertionResult Looks(const QLabel* label, const LabelLook& look) {
    const QColor colour = label->palette().color(QPalette::WindowText);
    const QFont font = label->font();
    if (colour == look.Color && font.bold() == look.Bold && font.underline() == look.Underline) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << label->objectName().toStdString() << " shows " << colour.name().toStdString()
           << (font.bold() ? " bold" : "") << (font.underline() ? " underlined" : "")
           << ", expected " << look.Color.name().toStdString() << (look.Bold ? " bold" : "")
           << (look.Underline ? " underlined" : "");
}

const LabelLook Blue{QColor(0, 0, 255), true, true};
const LabelLook Black{QColor(0, 0, 0), true, false};
const LabelLook Purple{QColor(128, 0, 128), true, false};

TEST(InfoBoxesTest, CaptionsSizesAndTitleBars) {
    FakePlatform platform;
    TAboutBox about(platform);
    EXPECT_EQ(about.windowTitle(), "About VORSEN");
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.minimumSize(), QSize(818, 581));
    EXPECT_EQ(about.maximumSize(), QSize(818, 581));

    TDonationBox donation(platform);
    EXPECT_EQ(donation.windowTitle(), QString::fromUtf8("Donation (捐助)"));
    EXPECT_TRUE(donation.isModal());
    EXPECT_EQ(donation.minimumSize(), QSize(651, 463));
    EXPECT_EQ(donation.maximumSize(), QSize(651, 463));
    const Qt::WindowFlags flags = donation.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST(InfoBoxesTest, TheAboutBoxShowsTitleVersionAndPictures) {
    FakePlatform platform;
    TAboutBox about(platform);
    QStringList texts;
    int pictures = 0;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        texts << label->text();
        if (!label->pixmap().isNull()) {
            ++pictures;
        }
    }
    EXPECT_TRUE(texts.contains("VORSEN - Spectra Response Analysis"));
    EXPECT_TRUE(texts.contains("Version : 1.0             "));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Website (网站) : ")));
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Donation (捐助) :    ")));
    EXPECT_TRUE(texts.contains(QString(Links::HomePage) + " !!! "));
    EXPECT_EQ(pictures, 3);
    EXPECT_TRUE(about.okButton->isDefault());
}

struct LinkCase {
    Box box;
    const char* label;
    const char* url;
};

class LinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkTest, AClickOpensItsPage) {
    FakePlatform platform;
    const auto dialog = OpenBox(GetParam().box, platform);

    QTest::mouseClick(Label(*dialog, GetParam().label), Qt::LeftButton);

    EXPECT_EQ(platform.Texts("OpenUrl"), std::vector<QString>{GetParam().url});
    EXPECT_EQ(platform.calls.size(), 1u);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_P(LinkTest, WithoutABrowserAWarningGivesTheAddress) {
    FakePlatform platform;
    platform.browserStarts = false;
    const auto dialog = OpenBox(GetParam().box, platform);

    QTest::mouseClick(Label(*dialog, GetParam().label), Qt::LeftButton);

    EXPECT_EQ(platform.Texts("OpenUrl"), std::vector<QString>{GetParam().url});
    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Boxes()[0].kind, "Warning");
    EXPECT_EQ(platform.Boxes()[0].text, NoBrowserText(GetParam().url));
    EXPECT_TRUE(platform.Boxes()[0].text.endsWith(GetParam().url));
    EXPECT_TRUE(dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    EveryLink, LinkTest,
    ::testing::Values(LinkCase{Box::About, "websiteLink", Links::HomePage},
                      LinkCase{Box::About, "purpleLink", Links::HomePage},
                      LinkCase{Box::About, "followLabel", Links::HomePage},
                      LinkCase{Box::About, "donationLink", Links::DonationPage},
                      LinkCase{Box::Donation, "donationLink", Links::DonationPage}));

TEST(InfoBoxesTest, ARightClickOrADragOffTheLabelOpensNothing) {
    FakePlatform platform;
    TAboutBox about(platform);
    about.show();
    QTest::mouseClick(about.websiteLink, Qt::RightButton);
    QTest::mousePress(about.websiteLink, Qt::LeftButton);
    QTest::mouseRelease(about.websiteLink, Qt::LeftButton, Qt::NoModifier,
                        QPoint(-5, about.websiteLink->height() + 5));
    EXPECT_TRUE(platform.calls.empty());
}

struct HoverCase {
    Box box;
    const char* label;
    LabelLook over;
    LabelLook leaving;
};

class HoverTest : public ::testing::TestWithParam<HoverCase> {};

TEST_P(HoverTest, TheMouseChangesTheLook) {
    FakePlatform platform;
    const auto dialog = OpenBox(GetParam().box, platform);
    HoverLabel* label = Label(*dialog, GetParam().label);

    EXPECT_TRUE(Looks(label, GetParam().leaving));
    SendEnter(label);
    EXPECT_TRUE(Looks(label, GetParam().over));
    SendLeave(label);
    EXPECT_TRUE(Looks(label, GetParam().leaving));
    EXPECT_TRUE(platform.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryLink, HoverTest,
                         ::testing::Values(HoverCase{Box::About, "websiteLink", Blue, Black},
                                           HoverCase{Box::About, "donationLink", Blue, Black},
                                           HoverCase{Box::About, "purpleLink", Blue, Purple},
                                           HoverCase{Box::Donation, "donationLink", Blue, Black}));

TEST(InfoBoxesTest, TheInvitationDrivesThePurpleLabel) {
    FakePlatform platform;
    TAboutBox about(platform);
    about.show();
    const QColor ownColour = about.followLabel->palette().color(QPalette::WindowText);
    const QFont ownFont = about.followLabel->font();

    SendEnter(about.followLabel);
    EXPECT_TRUE(Looks(about.purpleLink, Blue));
    EXPECT_EQ(about.followLabel->palette().color(QPalette::WindowText), ownColour);
    EXPECT_EQ(about.followLabel->font(), ownFont);

    SendLeave(about.followLabel);
    EXPECT_TRUE(Looks(about.purpleLink, Purple));
    EXPECT_EQ(about.followLabel->font(), ownFont);
}

TEST(InfoBoxesTest, OkAndCloseCloseTheBoxes) {
    FakePlatform platform;
    TAboutBox about(platform);
    about.show();
    QTest::mouseClick(about.okButton, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());

    TDonationBox donation(platform);
    donation.show();
    QTest::mouseClick(donation.closeButton, Qt::LeftButton);
    EXPECT_FALSE(donation.isVisible());
    EXPECT_TRUE(platform.calls.empty());
}

TEST(HoverLabelTest, StatusBarLooks) {
    HoverLabel address("https://vorsen.example.org/", LabelLooks::StatusHover(),
                       LabelLooks::StatusLeave());
    HoverLabel name("Halvik", LabelLooks::NameHover(), LabelLooks::NameLeave());
    const LabelLook magentaBold{QColor(255, 0, 255), true, true};
    const LabelLook magenta{QColor(255, 0, 255), false, false};
    const LabelLook black{QColor(0, 0, 0), false, false};

    EXPECT_TRUE(Looks(&address, Black));
    SendEnter(&address);
    EXPECT_TRUE(Looks(&address, magentaBold));
    SendLeave(&address);
    EXPECT_TRUE(Looks(&address, Black));

    EXPECT_TRUE(Looks(&name, black));
    SendEnter(&name);
    EXPECT_TRUE(Looks(&name, magenta));
    SendLeave(&name);
    EXPECT_TRUE(Looks(&name, black));

    int clicks = 0;
    QObject::connect(&name, &HoverLabel::clicked, [&clicks] { ++clicks; });
    name.show();
    QTest::mouseClick(&name, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

} // namespace
