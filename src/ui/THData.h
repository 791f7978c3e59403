#pragma once

#include <QWidget>

#include <memory>
#include <vector>

class GridShortcutFilter;
class Platform;
class QComboBox;
class QLabel;
class QPushButton;
class StringGrid;
class TimeHistory;

// "Detailed Data of Time History Records": a modeless window, on top of the
// others, that lists the samples of one record - time, and acceleration,
// velocity and displacement each uncorrected and corrected - in an 8-column
// grid with its own record chooser. Closing it destroys it (WA_DeleteOnClose);
// the main window keeps a QPointer to it.
//
// The grid formats its cells when they are painted or copied, from a copy of
// the chosen record's series taken by ShowViewerRecord: a record corrected or
// destroyed afterwards does not change what the viewer shows until it is
// chosen again.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    // records is the main window's record list, read by FillViewerRecordList and
    // ShowViewerRecord only; it outlives the viewer. The constructor builds the
    // window and the grid's 8 columns; the opener then runs ResetViewer,
    // FillViewerRecordList and ShowViewerRecord, and shows the window.
    TForm4(const std::vector<std::unique_ptr<TimeHistory>>& records, Platform& platform,
           char decimalSeparator, QWidget* parent = nullptr);
    ~TForm4() override;

    // Empties the chooser and blanks every cell below the heading row; the row
    // count and the headings stay.
    void ResetViewer();
    // The names of all records, in order, into the chooser; the first one chosen
    // (no entry when there are no records). Does not show it.
    void FillViewerRecordList();
    // N + 2 rows for the chosen record of N samples: headings, one row per
    // sample ("0.00000" time, "0.00000000" values, "--" in the corrected columns
    // of an uncorrected record) and an empty last row. Nothing while no entry is
    // chosen.
    void ShowViewerRecord();

    QComboBox* RecordChooser() const { return chooser; }
    StringGrid* DataGrid() const { return grid; }
    QPushButton* CloseButton() const { return closeButton; }

private:
    struct Shown; // the series of the record on show

    const std::vector<std::unique_ptr<TimeHistory>>& records;
    char separator;
    QLabel* label;
    QComboBox* chooser;
    StringGrid* grid;
    QPushButton* closeButton;
    GridShortcutFilter* shortcuts;
};
