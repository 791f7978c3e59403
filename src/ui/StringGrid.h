#pragma once

#include <QString>
#include <QTableView>

#include <functional>
#include <optional>
#include <vector>

class Platform;
class QAction;
class QAbstractButton;
class StringGridModel;

// A rectangle of grid cells, all four bounds inclusive, in grid coordinates
// (column and row from 0, the heading row and column included).
struct GridRect {
    int Left = 1;
    int Top = 1;
    int Right = 1;
    int Bottom = 1;
    friend bool operator==(const GridRect&, const GridRect&) = default;
};

// A read-only table of text cells addressed as (column, row) from 0, with one
// fixed heading row (row 0) and one fixed heading column (column 0) that stay in
// view when scrolling. Row 0 is drawn by the horizontal header, column 0 by the
// vertical header and cell (0, 0) by the corner; every other cell is an item of
// the view's model, which asks the grid for its text only when it is painted.
//
// Cell text is either stored (SetCell) or computed on demand by a cell function
// (SetCellFunction), which lets a grid show hundreds of thousands of cells
// without holding their strings.
//
// Rows are 24 pixels high (the heading row too), columns can be widened or
// narrowed with the mouse (the heading column by dragging its right edge),
// only a vertical scroll bar is shown. The user selects rectangles of ordinary
// cells; SetSelection / SelectWholeGrid are the only ways to include the heading
// row or column. The context menu offers "Copy Selection ( Ctrl+C )" and
// "Select All ( Ctrl+A )" for this grid.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    // Text of a computed cell, or nullopt for a cell whose stored text is shown.
    using CellFunction = std::function<std::optional<QString>(int col, int row)>;

    // platform receives the copied text of the context menu and of the keys.
    explicit StringGrid(Platform& platform, QWidget* parent = nullptr);
    ~StringGrid() override;

    int ColCount() const { return colCount; }
    int RowCount() const { return rowCount; }
    // Counts are at least 1. New cells are empty; cells outside the new size are
    // dropped. The selection falls back to (1, 1, 1, 1).
    void SetColCount(int count);
    void SetRowCount(int count);
    void SetSize(int colCount, int rowCount);

    // The text shown in a cell; empty outside the grid.
    QString Cell(int col, int row) const;
    // Stores the text of a cell; ignored outside the grid.
    void SetCell(int col, int row, const QString& text);
    // Blanks the stored text of every cell of rows first..last (clipped to the grid).
    void ClearRows(int first, int last);
    // Cells for which the function returns a text show that text; nullptr removes it.
    void SetCellFunction(CellFunction function);

    // Column widths in pixels; column 0 is the heading column.
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);

    // The selection rectangle. With nothing selected it is the current cell, or
    // (1, 1, 1, 1) when there is none. Always inside the grid when the grid has
    // ordinary cells.
    GridRect Selection() const;
    // Selects the rectangle (clipped to the grid). A rectangle that includes the
    // heading row or column stays the selection until the user selects cells.
    void SetSelection(const GridRect& wanted);

    // Makes Ctrl+A / Ctrl+C (Shift or Alt held as well still count) run
    // SelectWholeGrid / CopyGridSelection on this grid while it has the keyboard
    // focus and active() returns true. Without it the grid ignores both keys
    // (the data viewer catches them for the whole window instead).
    void SetOwnShortcuts(std::function<bool()> active);

    // The two context-menu commands, for tests and for other menus.
    QAction* CopyAction() const { return copyAction; }
    QAction* SelectAllAction() const { return selectAllAction; }

    Platform& GridPlatform() const { return platform; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class StringGridModel;

    std::size_t Index(int col, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(colCount) +
               static_cast<std::size_t>(col);
    }
    void Resize(int newColCount, int newRowCount);
    void SelectionChangedByUser();
    void PaintCorner();
    bool DragHeadingColumn(QObject* watched, QEvent* event);

    Platform& platform;
    StringGridModel* cellModel;
    QAbstractButton* corner = nullptr;
    QAction* copyAction;
    QAction* selectAllAction;
    int colCount = 1;
    int rowCount = 1;
    std::vector<QString> cells; // row-major, colCount x rowCount
    CellFunction cellFunction;
    std::optional<GridRect> headingSelection; // a selection that includes row 0 or column 0
    bool selecting = false;                   // set while the grid changes its own selection
    std::function<bool()> ownShortcutsActive;
    bool draggingHeadingColumn = false;
};
