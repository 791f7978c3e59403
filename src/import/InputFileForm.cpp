#include "import/InputFileForm.h"

#include "app/Platform.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
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
    // Taller than the Free Type dialog alone: the standard formats sit in two
    // columns above the Free Type parameters.
    setFixedSize(254, 427);

    auto* formatGroup = new QGroupBox("File Format", this);
    auto* formatChoice = new QButtonGroup(this);
    auto* formatLayout = new QGridLayout(formatGroup);
    formatLayout->setVerticalSpacing(2);
    QRadioButton** formatButtons[] = {&rb3, &rb4, &rb5, &rb6, &rb7, &rb8, &rb9, &rb10};
    const char* captions[] = {"Free Type", "PEER NGA", "K-NET / KiK-net", "COSMOS",
                              "ESM",       "SMC",      "GeoNet",          "Detect from file"};
    for (int i = 0; i < 8; ++i) {
        auto* button = new QRadioButton(captions[i], formatGroup);
        button->setObjectName(QStringLiteral("rb%1").arg(i + 3));
        formatChoice->addButton(button);
        if (i == 0 || i == 7) {
            formatLayout->addWidget(button, i == 0 ? 0 : 4, 0, 1, 2);
        } else {
            formatLayout->addWidget(button, 1 + (i - 1) / 2, (i - 1) % 2);
        }
        *formatButtons[i] = button;
    }
    rb3->setChecked(true);

    auto* parametersGroup = new QGroupBox("Free Type Parameters", this);
    parametersGroup->setObjectName("gbParameters");
    gbParameters = parametersGroup;
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

    connect(formatChoice, &QButtonGroup::buttonToggled, this, [this] { FormatChanged(); });
    connect(btn1, &QPushButton::clicked, this, &TForm2::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TForm2::btn2Click);
}

std::optional<RecordFormatId> TForm2::ChosenFormat() const {
    const std::pair<QRadioButton*, RecordFormatId> formats[] = {
        {rb3, RecordFormatId::FreeType}, {rb4, RecordFormatId::PeerNga},
        {rb5, RecordFormatId::Knet},     {rb6, RecordFormatId::Cosmos},
        {rb7, RecordFormatId::Esm},      {rb8, RecordFormatId::Smc},
        {rb9, RecordFormatId::GeoNet}};
    for (const auto& [button, format] : formats) {
        if (button->isChecked()) {
            return format;
        }
    }
    return std::nullopt;
}

// A standard file states its own time step, scale and layout: the Free Type
// parameters are then not asked for.
void TForm2::FormatChanged() {
    const std::optional<RecordFormatId> format = ChosenFormat();
    gbParameters->setEnabled(!format || *format == RecordFormatId::FreeType);
}

// The Free Type parameters are read (and must convert) whenever they can be
// used: for "Free Type" and for "Detect from file".
void TForm2::btn1Click() {
    ImportChoice choice;
    choice.Format = ChosenFormat();
    if (gbParameters->isEnabled()) {
        const FreeTypeTexts texts{
            edt1->text().toStdString(), edt2->text().toStdString(), edt3->value(),
            rb1->isChecked() ? FieldDelimiter::Comma : FieldDelimiter::Space, edt4->value()};
        const auto outcome = ReadFreeTypeParameters(texts, decimalSeparator);
        if (const auto* failure = std::get_if<FreeTypeFailure>(&outcome)) {
            platform.Warning(QString::fromStdString(failure->Message));
            (failure->Focus == FreeTypeFailure::Field::TimeStep ? edt1 : edt2)->setFocus();
            return;
        }
        choice.FreeType = std::get<FreeTypeParameters>(outcome);
    }
    hide();
    const QStringList files = platform.ChooseFiles(startFolder);
    if (!files.isEmpty()) {
        importFiles(choice, files);
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
