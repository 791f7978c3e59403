#include "spectra/AnalysisSettingForm.h"

#include "support/FakePlatform.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

bool SameSettings(const AnalysisSettings& a, const AnalysisSettings& b) {
    return a.Gravity == b.Gravity && a.MinPeriod == b.MinPeriod && a.MaxPeriod == b.MaxPeriod &&
           a.PeriodStep == b.PeriodStep && a.Method == b.Method && a.MaxDtOverT == b.MaxDtOverT &&
           a.NewmarkBeta == b.NewmarkBeta && a.NewmarkGamma == b.NewmarkGamma;
}

// Settings that differ from the defaults in every field.
AnalysisSettings Custom(std::int32_t method) {
    AnalysisSettings settings;
    settings.Gravity = 981.5;
    settings.MinPeriod = 0.05;
    settings.MaxPeriod = 10;
    settings.PeriodStep = 0.01;
    settings.Method = method;
    settings.MaxDtOverT = 0.1;
    settings.NewmarkBeta = 1.0 / 6.0;
    settings.NewmarkGamma = 0.6;
    return settings;
}

class AnalysisSettingFormTest : public ::testing::Test {
protected:
    FakePlatform platform;
    AnalysisSettings settings;
    std::unique_ptr<TForm3> dialog;

    void Open(const AnalysisSettings& stored, char decimalSeparator = '.') {
        settings = stored;
        dialog = std::make_unique<TForm3>(settings, platform, decimalSeparator);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    QLineEdit* Edit(const char* name) {
        auto* edit = dialog->findChild<QLineEdit*>(name);
        EXPECT_NE(edit, nullptr) << name;
        return edit;
    }
    QRadioButton* Radio(const char* name) { return dialog->findChild<QRadioButton*>(name); }
    void Click(const char* name) {
        QAbstractButton* button = dialog->findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        // On the indicator: a radio button answers only on its indicator and text.
        const QPoint where = qobject_cast<QRadioButton*>(button) != nullptr
                                 ? QPoint(6, button->height() / 2)
                                 : button->rect().center();
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, where);
    }

    // The seven texts in the order of the form: min, max, step, dt/T, beta, gamma, g.
    std::vector<QString> Texts() {
        return {Edit("edt1")->text(), Edit("edt2")->text(), Edit("edt3")->text(),
                Edit("edt4")->text(), Edit("edt6")->text(), Edit("edt5")->text(),
                Edit("edt7")->text()};
    }
    bool NewmarkFieldsEnabled() {
        const bool beta = Edit("edt6")->isEnabled();
        EXPECT_EQ(Edit("edt5")->isEnabled(), beta);
        return beta;
    }
};

TEST_F(AnalysisSettingFormTest, IsAFixedDialogWithOnlyACloseBox) {
    Open(AnalysisSettings{});
    EXPECT_EQ(dialog->windowTitle(), "Analysis Settings");
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(Radio("rb2")->text(), "Newmark's Method ");
}

TEST_F(AnalysisSettingFormTest, OpensWithTheStoredSettings) {
    Open(AnalysisSettings{});
    EXPECT_EQ(Texts(), (std::vector<QString>{"0.02", "6", "0.02", "0.02", "0.25", "0.5", "980"}));
    EXPECT_TRUE(Radio("rb1")->isChecked());
    EXPECT_FALSE(NewmarkFieldsEnabled());

    Open(Custom(1));
    EXPECT_EQ(Texts(), (std::vector<QString>{"0.05", "10", "0.01", "0.1", "0.166666666666667",
                                             "0.6", "981.5"}));
    EXPECT_TRUE(Radio("rb2")->isChecked());
    EXPECT_TRUE(NewmarkFieldsEnabled());

    Open(Custom(0), ',');
    EXPECT_EQ(Texts(), (std::vector<QString>{"0,05", "10", "0,01", "0,1", "0,166666666666667",
                                             "0,6", "981,5"}));
    EXPECT_FALSE(NewmarkFieldsEnabled());
}

TEST_F(AnalysisSettingFormTest, ChoosingAMethodEnablesOrResetsBetaAndGamma) {
    Open(Custom(0));
    Click("rb2");
    EXPECT_TRUE(NewmarkFieldsEnabled());
    Edit("edt6")->setText("0.3");
    Edit("edt5")->setText("0.7");

    Click("rb1");
    EXPECT_FALSE(NewmarkFieldsEnabled());
    EXPECT_EQ(Edit("edt6")->text(), "0.166666666666667");
    EXPECT_EQ(Edit("edt5")->text(), "0.6");

    Click("rb2");
    EXPECT_TRUE(NewmarkFieldsEnabled());
    EXPECT_EQ(Edit("edt6")->text(), "0.166666666666667");
    EXPECT_EQ(Edit("edt5")->text(), "0.6");
    EXPECT_TRUE(SameSettings(settings, Custom(0)));
}

TEST_F(AnalysisSettingFormTest, ProgramDefaultsChangeOnlyTheFields) {
    Open(Custom(1));
    Edit("edt6")->setText("0.4");

    Click("btn1");
    EXPECT_EQ(Texts(), (std::vector<QString>{"0.02", "6", "0.02", "0.02", "0.25", "0.5", "980"}));
    EXPECT_TRUE(Radio("rb1")->isChecked());
    EXPECT_FALSE(NewmarkFieldsEnabled());

    Click("btn3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(SameSettings(settings, Custom(1)));
    EXPECT_TRUE(platform.calls.empty());

    // Followed by "Update", they become the settings (the stored beta and gamma
    // stay, since the piecewise exact method is chosen).
    Open(Custom(1));
    Click("btn1");
    Click("btn2");
    AnalysisSettings expected;
    expected.NewmarkBeta = Custom(1).NewmarkBeta;
    expected.NewmarkGamma = Custom(1).NewmarkGamma;
    EXPECT_TRUE(SameSettings(settings, expected));
}

struct RefusedUpdate {
    const char* field;   // edit typed into
    const char* text;    // its text
    bool newmark;        // method chosen
    const char* message; // the exact warning
};

class RefusedUpdateTest : public AnalysisSettingFormTest,
                          public ::testing::WithParamInterface<RefusedUpdate> {};

TEST_P(RefusedUpdateTest, WarnsFocusesTheFieldAndStoresNothing) {
    const RefusedUpdate& c = GetParam();
    Open(Custom(c.newmark ? 1 : 0));
    Edit("edt1")->setText("1");
    Edit("edt2")->setText("6");
    Edit("edt3")->setText("0.5");
    Edit(c.field)->setText(QString::fromUtf8(c.text));

    Click("btn2");

    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Boxes()[0].kind, "Warning");
    EXPECT_EQ(platform.Boxes()[0].text, QString::fromUtf8(c.message));
    EXPECT_EQ(dialog->focusWidget(), Edit(c.field));
    EXPECT_TRUE(SameSettings(settings, Custom(c.newmark ? 1 : 0)));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Edit(c.field)->text(), QString::fromUtf8(c.text));
}

// One refusal for each field, so that every field's focus is seen.
INSTANTIATE_TEST_SUITE_P(
    EachField, RefusedUpdateTest,
    ::testing::Values(
        RefusedUpdate{"edt1", "abc", false, "\"abc\" is not a valid floating number!"},
        RefusedUpdate{"edt2", "1", false, "Max. Period must be greater than Min. Period! "},
        RefusedUpdate{"edt3", "5.5", false,
                      "periodstep must be less than [Max. Period - Min. Period] ! "},
        RefusedUpdate{"edt4", "0", false, "Maximum dt/T  must be greater than zero! "},
        RefusedUpdate{"edt6", "b", true, "\"b\" is not a valid floating number!"},
        RefusedUpdate{"edt5", "0,5", true, "\"0,5\" is not a valid floating number!"},
        RefusedUpdate{"edt7", "-980", true,
                      "Gravitational acceleration must be greater than zero! "}));

TEST_F(AnalysisSettingFormTest, UpdateStoresEverythingAndStaysOpen) {
    Open(AnalysisSettings{});
    Edit("edt1")->setText("1");
    Edit("edt2")->setText("6");
    Edit("edt3")->setText("5"); // exactly the difference
    Click("rb2");
    Edit("edt4")->setText("0.05");
    Edit("edt6")->setText("0"); // beta and gamma carry no range test
    Edit("edt5")->setText("-0.5");
    Edit("edt7")->setText("1000");

    Click("btn2");

    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(dialog->isVisible());
    AnalysisSettings expected;
    expected.MinPeriod = 1;
    expected.MaxPeriod = 6;
    expected.PeriodStep = 5;
    expected.Method = 1;
    expected.MaxDtOverT = 0.05;
    expected.NewmarkBeta = 0;
    expected.NewmarkGamma = -0.5;
    expected.Gravity = 1000;
    EXPECT_TRUE(SameSettings(settings, expected));

    // Choosing the piecewise exact method now shows the newly stored beta and gamma.
    Click("rb1");
    EXPECT_EQ(Edit("edt6")->text(), "0");
    EXPECT_EQ(Edit("edt5")->text(), "-0.5");

    // Cancel does not undo an update.
    Click("btn3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(SameSettings(settings, expected));
}

TEST_F(AnalysisSettingFormTest, WithThePiecewiseExactMethodBetaAndGammaAreNotRead) {
    Open(Custom(1));
    Edit("edt6")->setText("beta?");
    Edit("edt5")->setText("gamma?");
    Click("rb1");                   // resets them to the stored values ...
    Edit("edt6")->setText("beta?"); // ... so type into the disabled fields again
    Edit("edt5")->setText("gamma?");

    Click("btn2");

    EXPECT_TRUE(platform.calls.empty());
    AnalysisSettings expected = Custom(0);
    EXPECT_TRUE(SameSettings(settings, expected));
}

} // namespace
