#include "import/InputFileForm.h"

#include "support/FakePlatform.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A desktop that also notes whether the dialog was still shown when the file
// chooser came up.
class WatchingPlatform : public FakePlatform {
public:
    QWidget* watched = nullptr;
    std::vector<bool> shownWhileChoosing;

    QStringList ChooseFiles(const QString& startFolder) override {
        shownWhileChoosing.push_back(watched != nullptr && watched->isVisible());
        return FakePlatform::ChooseFiles(startFolder);
    }
};

struct ImportCall {
    std::optional<RecordFormatId> format;
    FreeTypeParameters parameters;
    QStringList files;
    bool dialogShown;
};

class InputFileFormTest : public ::testing::Test {
protected:
    WatchingPlatform platform;
    std::vector<ImportCall> imports;
    std::unique_ptr<TForm2> dialog;

    void SetUp() override { dialog = NewDialog('.'); }

    std::unique_ptr<TForm2> NewDialog(char decimalSeparator) {
        auto form =
            std::make_unique<TForm2>(platform, "/opt/vorsen", decimalSeparator,
                                     [this](const ImportChoice& choice, const QStringList& files) {
                                         imports.push_back({choice.Format, choice.FreeType, files,
                                                            dialog && dialog->isVisible()});
                                     });
        platform.watched = form.get();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    template <typename T> T* Control(const char* name) {
        T* control = dialog->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    void PressOk() { QTest::mouseClick(Control<QPushButton>("btn1"), Qt::LeftButton); }
};

TEST_F(InputFileFormTest, OpensWithTheDefaultsAtItsFixedSize) {
    EXPECT_EQ(dialog->windowTitle(), "Input File Parameters");
    EXPECT_EQ(dialog->minimumSize(), QSize(254, 427));
    EXPECT_EQ(dialog->maximumSize(), QSize(254, 427));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_TRUE(dialog->isModal());

    EXPECT_TRUE(Control<QRadioButton>("rb3")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>("rb4")->isEnabled());
    EXPECT_EQ(Control<QRadioButton>("rb4")->text(), "PEER NGA");
    EXPECT_EQ(Control<QLineEdit>("edt1")->text(), "0.01");
    EXPECT_EQ(Control<QLineEdit>("edt2")->text(), "1");
    auto* skip = Control<QSpinBox>("edt3");
    EXPECT_EQ(skip->value(), 0);
    EXPECT_EQ(skip->minimum(), 0);
    EXPECT_EQ(skip->maximum(), 100);
    EXPECT_TRUE(Control<QRadioButton>("rb1")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("rb2")->isChecked());
    auto* column = Control<QSpinBox>("edt4");
    EXPECT_EQ(column->value(), 1);
    EXPECT_EQ(column->minimum(), 1);
    EXPECT_EQ(column->maximum(), 100);
    EXPECT_EQ(column->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::ToolTipBase));
    EXPECT_FALSE(Control<QPushButton>("btn1")->autoDefault());
    EXPECT_FALSE(Control<QPushButton>("btn2")->autoDefault());
}

TEST_F(InputFileFormTest, AStandardFormatNeedsNoFreeTypeParameters) {
    struct Case {
        const char* button;
        const char* caption;
        std::optional<RecordFormatId> format;
        bool parametersAsked;
    };
    const Case cases[] = {
        {"rb3", "Free Type", RecordFormatId::FreeType, true},
        {"rb4", "PEER NGA", RecordFormatId::PeerNga, false},
        {"rb5", "K-NET / KiK-net", RecordFormatId::Knet, false},
        {"rb6", "COSMOS", RecordFormatId::Cosmos, false},
        {"rb7", "ESM", RecordFormatId::Esm, false},
        {"rb8", "SMC", RecordFormatId::Smc, false},
        {"rb9", "GeoNet", RecordFormatId::GeoNet, false},
        {"rb10", "Detect from file", std::nullopt, true},
    };
    for (const Case& c : cases) {
        dialog = NewDialog('.');
        imports.clear();
        auto* button = Control<QRadioButton>(c.button);
        EXPECT_EQ(button->text(), c.caption);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
        ASSERT_TRUE(button->isChecked()) << c.caption;
        EXPECT_EQ(Control<QGroupBox>("gbParameters")->isEnabled(), c.parametersAsked) << c.caption;
        // A time step that does not convert only matters where it is used.
        Control<QLineEdit>("edt1")->setText("x");
        platform.calls.clear();
        platform.fileAnswers = {QStringList{"/data/r1"}};
        PressOk();
        if (c.parametersAsked) {
            EXPECT_TRUE(imports.empty()) << c.caption;
            EXPECT_EQ(platform.Texts("Warning").size(), 1u) << c.caption;
        } else {
            ASSERT_EQ(imports.size(), 1u) << c.caption;
            EXPECT_EQ(imports[0].format, c.format) << c.caption;
        }
    }
}

TEST_F(InputFileFormTest, OkWithTheDefaultsImportsTheChosenFiles) {
    const QStringList chosen{"/data/a.txt", "/data/b.txt"};
    platform.fileAnswers.push_back(chosen);

    PressOk();

    ASSERT_EQ(platform.Texts("ChooseFiles"), std::vector<QString>{"/opt/vorsen"});
    EXPECT_EQ(platform.shownWhileChoosing, std::vector<bool>{false});
    EXPECT_TRUE(platform.Boxes().empty());
    ASSERT_EQ(imports.size(), 1u);
    const FreeTypeParameters& parameters = imports[0].parameters;
    EXPECT_EQ(parameters.TimeStep, 0.01);
    EXPECT_EQ(parameters.ScalingFactor, 1.0);
    EXPECT_EQ(parameters.LinesToSkip, 0);
    EXPECT_EQ(parameters.Delimiter, FieldDelimiter::Comma);
    EXPECT_EQ(parameters.AccelerationColumn, 1);
    EXPECT_EQ(imports[0].files, chosen);
    EXPECT_FALSE(imports[0].dialogShown);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(InputFileFormTest, OkHandsOnWhatWasTyped) {
    Control<QLineEdit>("edt1")->setText("0.005");
    Control<QLineEdit>("edt2")->setText("-2.5E-1"); // no range test: negative factors pass
    Control<QSpinBox>("edt3")->setValue(7);
    QTest::mouseClick(Control<QRadioButton>("rb2"), Qt::LeftButton);
    Control<QSpinBox>("edt4")->setValue(3);
    platform.fileAnswers.push_back({"/data/a.txt"});

    PressOk();

    ASSERT_EQ(imports.size(), 1u);
    const FreeTypeParameters& parameters = imports[0].parameters;
    EXPECT_EQ(parameters.TimeStep, 0.005);
    EXPECT_EQ(parameters.ScalingFactor, -0.25);
    EXPECT_EQ(parameters.LinesToSkip, 7);
    EXPECT_EQ(parameters.Delimiter, FieldDelimiter::Space);
    EXPECT_EQ(parameters.AccelerationColumn, 3);
}

// In a ',' locale the dialog reads "0,02" and its own default "0.01" alike.
TEST_F(InputFileFormTest, TheUsersDecimalSeparatorAndThePointAreRead) {
    dialog = NewDialog(',');
    platform.fileAnswers.push_back({"/data/a.txt"});
    PressOk();
    ASSERT_EQ(imports.size(), 1u);
    EXPECT_EQ(imports[0].parameters.TimeStep, 0.01);
    EXPECT_EQ(imports[0].parameters.ScalingFactor, 1);
    EXPECT_TRUE(platform.Boxes().empty());

    dialog = NewDialog(',');
    Control<QLineEdit>("edt1")->setText("0,02");
    Control<QLineEdit>("edt2")->setText("1,5");
    platform.fileAnswers.push_back({"/data/a.txt"});
    PressOk();
    ASSERT_EQ(imports.size(), 2u);
    EXPECT_EQ(imports[1].parameters.TimeStep, 0.02);
    EXPECT_EQ(imports[1].parameters.ScalingFactor, 1.5);
}

struct RefusedCase {
    const char* field;      // the edit typed into
    const char* text;       // what is typed
    const char* warning;    // the exact box text
    const char* otherField; // where the focus was before OK
};

class RefusedNumberTest : public InputFileFormTest,
                          public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedNumberTest, WarnsFocusesTheFieldAndKeepsTheDialogOpen) {
    const RefusedCase& c = GetParam();
    Control<QLineEdit>(c.field)->setText(c.text);
    Control<QLineEdit>(c.otherField)->setFocus();
    platform.fileAnswers.push_back({"/data/a.txt"});

    PressOk();

    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Boxes()[0].kind, "Warning");
    EXPECT_EQ(platform.Boxes()[0].text, QString::fromUtf8(c.warning));
    EXPECT_EQ(dialog->focusWidget(), Control<QLineEdit>(c.field));
    EXPECT_TRUE(platform.Texts("ChooseFiles").empty());
    EXPECT_TRUE(imports.empty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Control<QLineEdit>(c.field)->text(), QString::fromUtf8(c.text));

    // Corrected, the same dialog goes on to the files.
    Control<QLineEdit>(c.field)->setText("0.01");
    PressOk();
    EXPECT_EQ(imports.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    TimeStepAndScalingFactor, RefusedNumberTest,
    ::testing::Values(
        RefusedCase{"edt1", "abc", "\"abc\" is not a valid floating number!", "edt2"},
        RefusedCase{"edt1", "0,01", "\"0,01\" is not a valid floating number!", "edt2"},
        RefusedCase{"edt1", "", "\"\" is not a valid floating number!", "edt2"},
        RefusedCase{"edt2", "1x", "\"1x\" is not a valid floating number!", "edt1"},
        RefusedCase{"edt2", "inf", "\"inf\" is not a valid floating number!", "edt1"}));

TEST_F(InputFileFormTest, TheTimeStepIsTestedBeforeTheScalingFactor) {
    Control<QLineEdit>("edt1")->setText("dt");
    Control<QLineEdit>("edt2")->setText("s");

    PressOk();

    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Boxes()[0].text, "\"dt\" is not a valid floating number!");
    EXPECT_EQ(dialog->focusWidget(), Control<QLineEdit>("edt1"));
}

// As the main window runs it: hiding the dialog for the file chooser must not
// cut the import short, and the modal run ends accepted.
TEST_F(InputFileFormTest, RunModallyOkImportsAndEndsTheRun) {
    dialog->hide();
    platform.fileAnswers.push_back({"/data/a.txt"});
    QTimer::singleShot(0, dialog.get(), [this] { Control<QPushButton>("btn1")->click(); });

    const int result = dialog->exec();

    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(imports.size(), 1u);
    EXPECT_EQ(imports[0].files, QStringList{"/data/a.txt"});
}

TEST_F(InputFileFormTest, CancellingTheFileChooserImportsNothingAndCloses) {
    PressOk(); // no answer scripted: the chooser is cancelled

    EXPECT_EQ(platform.Texts("ChooseFiles").size(), 1u);
    EXPECT_TRUE(imports.empty());
    EXPECT_TRUE(platform.Boxes().empty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(InputFileFormTest, CancelAndTheCloseIconDoNothing) {
    platform.fileAnswers.push_back({"/data/a.txt"});
    QTest::mouseClick(Control<QPushButton>("btn2"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    dialog = NewDialog('.');
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());

    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(imports.empty());
}

TEST_F(InputFileFormTest, EnterAndEscapeNeitherConfirmNorClose) {
    platform.fileAnswers.push_back({"/data/a.txt"});
    for (const char* name : {"edt1", "edt3"}) {
        QWidget* field = dialog->findChild<QWidget*>(name);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Enter);
        QTest::keyClick(field, Qt::Key_Escape);
    }
    QTest::keyClick(dialog.get(), Qt::Key_Escape);

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(imports.empty());
}

TEST_F(InputFileFormTest, ANewDialogShowsTheDefaultsAgain) {
    Control<QLineEdit>("edt1")->setText("0.5");
    Control<QLineEdit>("edt2")->setText("9.81");
    Control<QSpinBox>("edt3")->setValue(4);
    Control<QRadioButton>("rb2")->setChecked(true);
    Control<QSpinBox>("edt4")->setValue(2);
    QTest::mouseClick(Control<QPushButton>("btn2"), Qt::LeftButton);

    dialog = NewDialog('.');

    EXPECT_EQ(Control<QLineEdit>("edt1")->text(), "0.01");
    EXPECT_EQ(Control<QLineEdit>("edt2")->text(), "1");
    EXPECT_EQ(Control<QSpinBox>("edt3")->value(), 0);
    EXPECT_TRUE(Control<QRadioButton>("rb1")->isChecked());
    EXPECT_EQ(Control<QSpinBox>("edt4")->value(), 1);
}

} // namespace
