#pragma once

#include "spectra/AnalysisSettings.h"

#include <QDialog>

class Platform;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Analysis Settings": edits the main window's settings. Filled from them on
// opening; "Update" validates every field and writes them at once (the dialog
// stays open); "Program Defaults" changes only the fields; "Cancel" and the
// close box close it without undoing earlier updates.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(AnalysisSettings& settings, Platform& platform, char decimalSeparator,
           QWidget* parent = nullptr);

    QLineEdit* edt1;   // "Min. Period (s)", s
    QLineEdit* edt2;   // "Max. Period (s)", s
    QLineEdit* edt3;   // "Period Step  (s)", s
    QRadioButton* rb1; // "Piecewise Exact Method"
    QRadioButton* rb2; // "Newmark's Method "
    QLineEdit* edt4;   // "Maximum dt/T"
    QLineEdit* edt6;   // "Beta", enabled only with Newmark's method
    QLineEdit* edt5;   // "Gamma", enabled only with Newmark's method
    QLineEdit* edt7;   // "g (cm/s2)", cm/s²
    QPushButton* btn1; // "Program Defaults"
    QPushButton* btn2; // "Update"
    QPushButton* btn3; // "Cancel"

public slots:
    void btn1Click(); // "Program Defaults"
    void btn2Click(); // "Update"
    void btn3Click(); // "Cancel"
    void rb1Click();  // "Piecewise Exact Method" chosen
    void rb2Click();  // "Newmark's Method " chosen

private:
    QLineEdit* FieldEdit(SettingsField field) const;

    AnalysisSettings& settings;
    Platform& platform;
    char decimalSeparator;
};
