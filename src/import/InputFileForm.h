#pragma once

#include "import/FreeTypeTexts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class Platform;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Input File Parameters": how the record files are laid out, then the files.
// OK tests the typed numbers, hides the dialog, lets the user choose the files
// and hands them to `importFiles`; Cancel and the close icon do nothing. A new
// dialog shows the defaults. Neither button answers Enter or Escape.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    using ImportFiles = std::function<void(const FreeTypeParameters&, const QStringList&)>;

    TForm2(Platform& platform, QString startFolder, char decimalSeparator, ImportFiles importFiles,
           QWidget* parent = nullptr);

    QRadioButton* rb3; // "Free Type"
    QRadioButton* rb4; // "PEER NGA (Underconstruction)", disabled
    QLineEdit* edt1;   // "Time Step dt ( s )"
    QLineEdit* edt2;   // "Scaling Factor"
    QSpinBox* edt3;    // "Number of Lines to Skip", 0..100
    QRadioButton* rb1; // "Comma"
    QRadioButton* rb2; // "Space"
    QSpinBox* edt4;    // "Acceleration Column", 1..100
    QPushButton* btn1; // "OK"
    QPushButton* btn2; // "Cancel"

public slots:
    void btn1Click(); // OK
    void btn2Click(); // Cancel

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Platform& platform;
    QString startFolder;
    char decimalSeparator;
    ImportFiles importFiles;
};
