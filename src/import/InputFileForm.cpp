#include "import/InputFileForm.h"

#include "app/Platform.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>
#include <variant>

namespace {

QPushButton* PlainButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TForm2::TForm2(Platform& platform, QString startFolder, char decimalSeparator,
               ImportFiles importFiles, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      platform(platform), startFolder(std::move(startFolder)), decimalSeparator(decimalSeparator),
      importFiles(std::move(importFiles)) {
    setWindowTitle("Input File Parameters");
    setModal(true);
    setFixedSize(254, 337);

    auto* formatGroup = new QGroupBox("File Format", this);
    rb3 = new QRadioButton("Free Type", formatGroup);
    rb3->setObjectName("rb3");
    rb3->setChecked(true);
    rb4 = new QRadioButton("PEER NGA (Underconstruction)", formatGroup);
    rb4->setObjectName("rb4");
    rb4->setEnabled(false);
    auto* formatLayout = new QVBoxLayout(formatGroup);
    formatLayout->addWidget(rb3);
    formatLayout->addWidget(rb4);

    auto* parametersGroup = new QGroupBox("Free Type Parameters", this);
    edt1 = new QLineEdit("0.01", parametersGroup);
    edt1->setObjectName("edt1");
    edt2 = new QLineEdit("1", parametersGroup);
    edt2->setObjectName("edt2");
    edt3 = new QSpinBox(parametersGroup);
    edt3->setObjectName("edt3");
    edt3->setRange(0, 100);
    edt3->setValue(0);
    rb1 = new QRadioButton("Comma", parametersGroup);
    rb1->setObjectName("rb1");
    rb1->setChecked(true);
    rb2 = new QRadioButton("Space", parametersGroup);
    rb2->setObjectName("rb2");
    auto* delimiterChoice = new QButtonGroup(this);
    delimiterChoice->addButton(rb1);
    delimiterChoice->addButton(rb2);
    auto* delimiter = new QHBoxLayout;
    delimiter->addWidget(rb1);
    delimiter->addWidget(rb2);
    delimiter->addStretch();
    edt4 = new QSpinBox(parametersGroup);
    edt4->setObjectName("edt4");
    edt4->setRange(1, 100);
    edt4->setValue(1);
    // The column is shown on the info-tip colour.
    QPalette tip = edt4->palette();
    tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
    edt4->setPalette(tip);

    auto* parametersLayout = new QFormLayout(parametersGroup);
    parametersLayout->setRowWrapPolicy(QFormLayout::DontWrapRows);
    parametersLayout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    parametersLayout->addRow("Time Step dt ( s )", edt1);
    parametersLayout->addRow("Scaling Factor", edt2);
    parametersLayout->addRow("Number of Lines to Skip", edt3);
    parametersLayout->addRow(new QLabel("Delimeiter", parametersGroup));
    delimiter->setContentsMargins(16, 0, 0, 0);
    parametersLayout->addRow(delimiter);
    parametersLayout->addRow("Acceleration Column", edt4);

    btn1 = PlainButton("OK", "btn1", this);
    btn2 = PlainButton("Cancel", "btn2", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn1);
    buttons->addWidget(btn2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(formatGroup);
    layout->addWidget(parametersGroup, 1);
    layout->addLayout(buttons);

    connect(btn1, &QPushButton::clicked, this, &TForm2::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TForm2::btn2Click);
}

// "Free Type" is the one usable format ("PEER NGA" is disabled), so its
// parameters are always the ones read.
void TForm2::btn1Click() {
    const FreeTypeTexts texts{edt1->text().toStdString(), edt2->text().toStdString(), edt3->value(),
                              rb1->isChecked() ? FieldDelimiter::Comma : FieldDelimiter::Space,
                              edt4->value()};
    const auto outcome = ReadFreeTypeParameters(texts, decimalSeparator);
    if (const auto* failure = std::get_if<FreeTypeFailure>(&outcome)) {
        platform.Warning(QString::fromStdString(failure->Message));
        (failure->Focus == FreeTypeFailure::Field::TimeStep ? edt1 : edt2)->setFocus();
        return;
    }
    const FreeTypeParameters parameters = std::get<FreeTypeParameters>(outcome);
    hide();
    const QStringList files = platform.ChooseFiles(startFolder);
    if (!files.isEmpty()) {
        importFiles(parameters, files);
    }
    accept();
}

void TForm2::btn2Click() {
    reject();
}

// No key closes or confirms the dialog: only the two buttons and the close icon.
void TForm2::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
