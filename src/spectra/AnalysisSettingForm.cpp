#include "spectra/AnalysisSettingForm.h"

#include "app/Platform.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <variant>

namespace {

QLineEdit* Edit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

// Enter in a field must not press "Program Defaults" and wipe what was typed.
QPushButton* PlainButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// Field captions share one width so that the fields of all groups line up.
QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setMinimumWidth(110);
    return label;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TForm3::TForm3(AnalysisSettings& settings, Platform& platform, char decimalSeparator,
               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      settings(settings), platform(platform), decimalSeparator(decimalSeparator) {
    setWindowTitle("Analysis Settings");
    setModal(true);
    setFixedSize(340, 440);

    auto* periodGroup = new QGroupBox("Period Range and Step (for Response Spectra)", this);
    edt1 = Edit("edt1", periodGroup);
    edt2 = Edit("edt2", periodGroup);
    edt3 = Edit("edt3", periodGroup);
    auto* periodLayout = new QFormLayout(periodGroup);
    periodLayout->addRow(Caption("Min. Period (s)", periodGroup), edt1);
    periodLayout->addRow(Caption("Max. Period (s)", periodGroup), edt2);
    periodLayout->addRow(Caption("Period Step  (s)", periodGroup), edt3);

    auto* methodGroup = new QGroupBox("Numerical Method Parameters", this);
    rb1 = new QRadioButton("Piecewise Exact Method", methodGroup);
    rb1->setObjectName("rb1");
    rb2 = new QRadioButton("Newmark's Method ", methodGroup);
    rb2->setObjectName("rb2");
    auto* methodChoice = new QButtonGroup(this);
    methodChoice->addButton(rb1);
    methodChoice->addButton(rb2);
    edt4 = Edit("edt4", methodGroup);
    edt6 = Edit("edt6", methodGroup);
    edt5 = Edit("edt5", methodGroup);
    auto* methods = new QVBoxLayout;
    methods->setSpacing(2);
    methods->addWidget(rb1);
    methods->addWidget(rb2);
    auto* methodLayout = new QFormLayout(methodGroup);
    methodLayout->addRow(new QLabel("Type of Method", methodGroup));
    methodLayout->addRow(methods);
    methodLayout->addRow(Caption("Maximum dt/T", methodGroup), edt4);
    methodLayout->addRow(Caption("Beta", methodGroup), edt6);
    methodLayout->addRow(Caption("Gamma", methodGroup), edt5);

    auto* gravityGroup = new QGroupBox("Gravitational Acceleration", this);
    edt7 = Edit("edt7", gravityGroup);
    auto* gravityLayout = new QFormLayout(gravityGroup);
    gravityLayout->addRow(Caption("g (cm/s2)", gravityGroup), edt7);

    btn1 = PlainButton("Program Defaults", "btn1", this);
    btn2 = PlainButton("Update", "btn2", this);
    btn3 = PlainButton("Cancel", "btn3", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btn1);
    buttons->addStretch();
    buttons->addWidget(btn2);
    buttons->addWidget(btn3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(periodGroup);
    layout->addWidget(methodGroup);
    layout->addWidget(gravityGroup);
    layout->addStretch();
    layout->addLayout(buttons);

    // As created: the piecewise exact method, the Newmark fields disabled.
    rb1->setChecked(true);
    edt6->setEnabled(false);
    edt5->setEnabled(false);

    // A method is "clicked" whenever it becomes the chosen one, by the user or
    // by the dialog itself (filling, "Program Defaults").
    connect(rb1, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            rb1Click();
        }
    });
    connect(rb2, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            rb2Click();
        }
    });
    connect(btn1, &QPushButton::clicked, this, &TForm3::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TForm3::btn2Click);
    connect(btn3, &QPushButton::clicked, this, &TForm3::btn3Click);

    // Fill from the current settings.
    const SettingsTexts current = SettingsToTexts(settings, decimalSeparator);
    edt1->setText(Text(current.MinPeriod));
    edt2->setText(Text(current.MaxPeriod));
    edt3->setText(Text(current.PeriodStep));
    if (current.Method == SolverMethod::Newmark) {
        rb2->setChecked(true);
    }
    edt4->setText(Text(current.MaxDtOverT));
    edt6->setText(Text(current.Beta));
    edt5->setText(Text(current.Gamma));
    edt7->setText(Text(current.Gravity));
}

QLineEdit* TForm3::FieldEdit(SettingsField field) const {
    switch (field) {
    case SettingsField::MinPeriod:
        return edt1;
    case SettingsField::MaxPeriod:
        return edt2;
    case SettingsField::PeriodStep:
        return edt3;
    case SettingsField::MaxDtOverT:
        return edt4;
    case SettingsField::Beta:
        return edt6;
    case SettingsField::Gamma:
        return edt5;
    case SettingsField::Gravity:
        return edt7;
    }
    return edt1;
}

void TForm3::btn1Click() {
    const SettingsTexts defaults = DefaultSettingsTexts();
    edt1->setText(Text(defaults.MinPeriod));
    edt2->setText(Text(defaults.MaxPeriod));
    edt3->setText(Text(defaults.PeriodStep));
    rb1->setChecked(true);
    edt6->setEnabled(false);
    edt5->setEnabled(false);
    edt4->setText(Text(defaults.MaxDtOverT));
    edt6->setText(Text(defaults.Beta));
    edt5->setText(Text(defaults.Gamma));
    edt7->setText(Text(defaults.Gravity));
}

void TForm3::btn2Click() {
    SettingsTexts texts;
    texts.MinPeriod = edt1->text().toStdString();
    texts.MaxPeriod = edt2->text().toStdString();
    texts.PeriodStep = edt3->text().toStdString();
    texts.Method = rb1->isChecked() ? SolverMethod::PiecewiseExact : SolverMethod::Newmark;
    texts.MaxDtOverT = edt4->text().toStdString();
    texts.Beta = edt6->text().toStdString();
    texts.Gamma = edt5->text().toStdString();
    texts.Gravity = edt7->text().toStdString();

    const auto outcome = UpdateAnalysisSettings(settings, texts, decimalSeparator);
    if (const auto* failure = std::get_if<SettingsFailure>(&outcome)) {
        platform.Warning(Text(failure->Message));
        FieldEdit(failure->Field)->setFocus();
        return;
    }
    settings = std::get<AnalysisSettings>(outcome);
}

void TForm3::btn3Click() {
    reject();
}

void TForm3::rb1Click() {
    const SettingsTexts stored = SettingsToTexts(settings, decimalSeparator);
    edt6->setText(Text(stored.Beta));
    edt5->setText(Text(stored.Gamma));
    edt6->setEnabled(false);
    edt5->setEnabled(false);
}

void TForm3::rb2Click() {
    edt6->setEnabled(true);
    edt5->setEnabled(true);
}
