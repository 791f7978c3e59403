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
// the chosen record's series taken by ShowViewerRecord, so a record destroyed
// afterwards is never read. The main window calls RecordChanged after it
// corrects a record, so that the viewer never shows a record's old state.
//
// The columns keep their widths (56 and 100 px), so the grid scrolls
// horizontally as well; each heading shows its full title as a tooltip.
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
    // The record at this position of the record list has changed: shown again
    // if it is the one on show, keeping the selection and the scroll position.
    void RecordChanged(int index);

    QComboBox* RecordChooser() const { return chooser; }
    StringGrid* DataGrid() const { return grid; }
    QPushButton* CloseButton() const { return closeButton; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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
