#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Platform;
class QKeyEvent;
class QWidget;
class StringGrid;

// Selecting and copying grid cells for pasting into a spreadsheet.

// The text of the grid's selection: rows Top..Bottom, each the cells Left..Right
// exactly as shown, a TAB between two cells and an LF after every row (the last
// one too); no quoting, no CR.
QString GridSelectionText(const StringGrid& grid);

// Puts GridSelectionText on the clipboard through the platform (the grid's own
// platform in the one-argument form).
void CopyGridSelection(const StringGrid& grid, Platform& platform);
void CopyGridSelection(const StringGrid& grid);

// Selection = (0, 0, ColCount - 1, RowCount - 1): the headings included.
void SelectWholeGrid(StringGrid& grid);

// True for the key with Ctrl held; Shift or Alt held as well do not matter.
bool IsGridShortcut(const QKeyEvent& event, int key);

// Gives a whole window the grid keys: Ctrl+A runs SelectWholeGrid and Ctrl+C
// CopyGridSelection on the grid, whichever control of the window has the focus.
// The key press is not consumed; the focused control receives it as well.
// Watches the application's key presses and acts on those sent to the window's
// focus widget (to the window itself when no control has the focus), so a
// press that travels up to the parents counts once.
class GridShortcutFilter : public QObject {
    Q_OBJECT
public:
    GridShortcutFilter(QWidget& window, StringGrid& grid);
    ~GridShortcutFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window;
    QPointer<StringGrid> grid;
};
