#pragma once

#include "import/FreeTypeTexts.h"
#include "import/RecordFormat.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Platform;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// What "Input File Parameters" hands over with the chosen files: the format
// (nullopt: "Detect from file") and the Free Type layout, used for Free Type
// files (and, when detecting, for files in no standard format).
struct ImportChoice {
    std::optional<RecordFormatId> Format = RecordFormatId::FreeType;
    FreeTypeParameters FreeType;
};

// "Input File Parameters": how the record files are laid out, then the files.
// OK tests the typed numbers, hides the dialog, lets the user choose the files
// and hands them to `importFiles`; Cancel and the close icon do nothing. A new
// dialog shows the defaults. Neither button answers Enter or Escape.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    using ImportFiles = std::function<void(const ImportChoice&, const QStringList&)>;

    TForm2(Platform& platform, QString startFolder, char decimalSeparator, ImportFiles importFiles,
           QWidget* parent = nullptr);

    QRadioButton* rb3;       // "Free Type", chosen when the dialog opens
    QRadioButton* rb4;       // "PEER NGA"
    QRadioButton* rb5;       // "K-NET / KiK-net"
    QRadioButton* rb6;       // "COSMOS"
    QRadioButton* rb7;       // "ESM"
    QRadioButton* rb8;       // "SMC"
    QRadioButton* rb9;       // "GeoNet"
    QRadioButton* rb10;      // "Detect from file"
    QGroupBox* gbParameters; // "Free Type Parameters": disabled for a standard format
    QLineEdit* edt1;         // "Time Step dt ( s )"
    QLineEdit* edt2;         // "Scaling Factor"
    QSpinBox* edt3;          // "Number of Lines to Skip", 0..100
    QRadioButton* rb1;       // "Comma"
    QRadioButton* rb2;       // "Space"
    QSpinBox* edt4;          // "Acceleration Column", 1..100
    QPushButton* btn1;       // "OK"
    QPushButton* btn2;       // "Cancel"

public slots:
    void btn1Click(); // OK
    void btn2Click(); // Cancel

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // The format the radio buttons choose; nullopt for "Detect from file".
    std::optional<RecordFormatId> ChosenFormat() const;

private:
    void FormatChanged();

    Platform& platform;
    QString startFolder;
    char decimalSeparator;
    ImportFiles importFiles;
};
