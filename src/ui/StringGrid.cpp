#include "ui/StringGrid.h"

#include "ui/GridCopy.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>
#include <utility>

namespace {
constexpr int RowHeight = 24;       // px, the heading row too
constexpr int DefaultColWidth = 64; // px, until a caller sets the widths
constexpr int MinHeadingWidth = 8;  // px, narrowest the heading column can be dragged to
constexpr int EdgeGrip = 4;         // px either side of the heading column's right edge
constexpr Qt::Alignment CellAlignment = Qt::AlignLeft | Qt::AlignVCenter;
} // namespace

// The ordinary cells (everything but row 0 and column 0) as a table model, and
// the heading row and column as its header data. Model (row, column) is grid
// (column + 1, row + 1). Text comes from the grid when the view asks for it.
class StringGridModel : public QAbstractTableModel {
public:
    explicit StringGridModel(StringGrid& grid) : QAbstractTableModel(&grid), grid(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid.rowCount - 1;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid.colCount - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return grid.Cell(index.column() + 1, index.row() + 1);
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(CellAlignment);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role == Qt::DisplayRole) {
            return orientation == Qt::Horizontal ? grid.Cell(section + 1, 0)
                                                 : grid.Cell(0, section + 1);
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(CellAlignment);
        }
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // Bracket a change of the grid's counts.
    void BeginInsertColumns(int first, int last) { beginInsertColumns({}, first, last); }
    void EndInsertColumns() { endInsertColumns(); }
    void BeginRemoveColumns(int first, int last) { beginRemoveColumns({}, first, last); }
    void EndRemoveColumns() { endRemoveColumns(); }
    void BeginInsertRows(int first, int last) { beginInsertRows({}, first, last); }
    void EndInsertRows() { endInsertRows(); }
    void BeginRemoveRows(int first, int last) { beginRemoveRows({}, first, last); }
    void EndRemoveRows() { endRemoveRows(); }

    // Grid cell (col, row) changed.
    void CellChanged(int col, int row) {
        if (row == 0 && col > 0) {
            emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        } else if (col == 0 && row > 0) {
            emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
        } else if (row > 0 && col > 0) {
            const QModelIndex cell = index(row - 1, col - 1);
            emit dataChanged(cell, cell, {Qt::DisplayRole});
        }
    }
    // Grid rows first..last changed, all columns.
    void RowsChanged(int first, int last) {
        if (first == 0 && grid.colCount > 1) {
            emit headerDataChanged(Qt::Horizontal, 0, grid.colCount - 2);
        }
        const int top = std::max(first, 1);
        if (top <= last) {
            emit headerDataChanged(Qt::Vertical, top - 1, last - 1);
            if (grid.colCount > 1) {
                emit dataChanged(index(top - 1, 0), index(last - 1, grid.colCount - 2),
                                 {Qt::DisplayRole});
            }
        }
    }

private:
    StringGrid& grid;
};

StringGrid::StringGrid(Platform& platform, QWidget* parent)
    : QTableView(parent), platform(platform), cellModel(new StringGridModel(*this)),
      copyAction(new QAction(QStringLiteral("Copy Selection ( Ctrl+C )"), this)),
      selectAllAction(new QAction(QStringLiteral("Select All ( Ctrl+A )"), this)), cells(1) {
    setModel(cellModel);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &StringGrid::SelectionChangedByUser);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection); // always one rectangle
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone); // clipped like the text it copies, never "..."
    setCornerButtonEnabled(false);   // Select All is the grid's own command

    QHeaderView* top = horizontalHeader();
    top->setSectionsClickable(false);
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setMinimumSectionSize(MinHeadingWidth);
    top->setDefaultSectionSize(DefaultColWidth);
    top->setDefaultAlignment(CellAlignment);
    top->setTextElideMode(Qt::ElideNone);
    top->setFixedHeight(RowHeight);

    QHeaderView* side = verticalHeader();
    side->setSectionsClickable(false);
    side->setMinimumSectionSize(1);
    side->setDefaultSectionSize(RowHeight);
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultAlignment(CellAlignment);
    side->setTextElideMode(Qt::ElideNone);
    side->setFixedWidth(DefaultColWidth);
    side->viewport()->setMouseTracking(true);
    side->viewport()->installEventFilter(this);

    corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner != nullptr) {
        corner->setMouseTracking(true);
        corner->installEventFilter(this);
    }

    connect(copyAction, &QAction::triggered, this, [this] { CopyGridSelection(*this); });
    connect(selectAllAction, &QAction::triggered, this, [this] { SelectWholeGrid(*this); });
}

StringGrid::~StringGrid() = default;

void StringGrid::SetColCount(int count) {
    Resize(count, rowCount);
}
void StringGrid::SetRowCount(int count) {
    Resize(colCount, count);
}
void StringGrid::SetSize(int newColCount, int newRowCount) {
    Resize(newColCount, newRowCount);
}

void StringGrid::Resize(int newColCount, int newRowCount) {
    newColCount = std::max(newColCount, 1);
    newRowCount = std::max(newRowCount, 1);
    if (newColCount == colCount && newRowCount == rowCount) {
        return;
    }
    selecting = true;
    selectionModel()->clear();
    headingSelection.reset();

    // Columns first (rows keep their count), then rows. Inserting and removing,
    // rather than resetting the model, keeps the widths of the remaining columns.
    if (newColCount != colCount) {
        std::vector<QString> next(static_cast<std::size_t>(newColCount) *
                                  static_cast<std::size_t>(rowCount));
        const int keep = std::min(newColCount, colCount);
        for (int row = 0; row < rowCount; ++row) {
            for (int col = 0; col < keep; ++col) {
                next[static_cast<std::size_t>(row) * static_cast<std::size_t>(newColCount) +
                     static_cast<std::size_t>(col)] = std::move(cells[Index(col, row)]);
            }
        }
        if (newColCount > colCount) {
            cellModel->BeginInsertColumns(colCount - 1, newColCount - 2);
            cells = std::move(next);
            colCount = newColCount;
            cellModel->EndInsertColumns();
        } else {
            cellModel->BeginRemoveColumns(newColCount - 1, colCount - 2);
            cells = std::move(next);
            colCount = newColCount;
            cellModel->EndRemoveColumns();
        }
    }
    if (newRowCount != rowCount) {
        // Row-major storage: changing the row count only grows or cuts the tail.
        const std::size_t size =
            static_cast<std::size_t>(colCount) * static_cast<std::size_t>(newRowCount);
        if (newRowCount > rowCount) {
            cellModel->BeginInsertRows(rowCount - 1, newRowCount - 2);
            cells.resize(size);
            rowCount = newRowCount;
            cellModel->EndInsertRows();
        } else {
            cellModel->BeginRemoveRows(newRowCount - 1, rowCount - 2);
            cells.resize(size);
            rowCount = newRowCount;
            cellModel->EndRemoveRows();
        }
    }
    selectionModel()->clear();
    selecting = false;
    if (corner != nullptr) {
        corner->update();
    }
}

QString StringGrid::Cell(int col, int row) const {
    if (col < 0 || col >= colCount || row < 0 || row >= rowCount) {
        return {};
    }
    if (cellFunction) {
        if (std::optional<QString> text = cellFunction(col, row)) {
            return *std::move(text);
        }
    }
    return cells[Index(col, row)];
}

void StringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || col >= colCount || row < 0 || row >= rowCount) {
        return;
    }
    cells[Index(col, row)] = text;
    if (col == 0 && row == 0) {
        if (corner != nullptr) {
            corner->update();
        }
        return;
    }
    cellModel->CellChanged(col, row);
}

void StringGrid::ClearRows(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, rowCount - 1);
    if (first > last) {
        return;
    }
    std::fill(cells.begin() + static_cast<std::ptrdiff_t>(Index(0, first)),
              cells.begin() + static_cast<std::ptrdiff_t>(Index(0, last + 1)), QString());
    cellModel->RowsChanged(first, last);
    if (first == 0 && corner != nullptr) {
        corner->update();
    }
}

void StringGrid::SetCellFunction(CellFunction function) {
    cellFunction = std::move(function);
    cellModel->RowsChanged(0, rowCount - 1);
    if (corner != nullptr) {
        corner->update();
    }
}

int StringGrid::ColWidth(int col) const {
    if (col < 0 || col >= colCount) {
        return 0;
    }
    if (col == 0) {
        return verticalHeader()->maximumWidth(); // fixed: minimum == maximum
    }
    return horizontalHeader()->sectionSize(col - 1);
}

void StringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= colCount) {
        return;
    }
    width = std::max(width, MinHeadingWidth);
    if (col == 0) {
        verticalHeader()->setFixedWidth(width);
        updateGeometries(); // the viewport starts where the heading column ends
        return;
    }
    horizontalHeader()->resizeSection(col - 1, width);
}

GridRect StringGrid::Selection() const {
    if (headingSelection) {
        return *headingSelection;
    }
    const QItemSelection selection = selectionModel()->selection();
    if (!selection.isEmpty()) {
        GridRect rect{colCount, rowCount, 0, 0};
        for (const QItemSelectionRange& range : selection) {
            rect.Left = std::min(rect.Left, range.left() + 1);
            rect.Top = std::min(rect.Top, range.top() + 1);
            rect.Right = std::max(rect.Right, range.right() + 1);
            rect.Bottom = std::max(rect.Bottom, range.bottom() + 1);
        }
        return rect;
    }
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        return {current.column() + 1, current.row() + 1, current.column() + 1, current.row() + 1};
    }
    return {};
}

void StringGrid::SetSelection(const GridRect& wanted) {
    GridRect rect{std::clamp(std::min(wanted.Left, wanted.Right), 0, colCount - 1),
                  std::clamp(std::min(wanted.Top, wanted.Bottom), 0, rowCount - 1),
                  std::clamp(std::max(wanted.Left, wanted.Right), 0, colCount - 1),
                  std::clamp(std::max(wanted.Top, wanted.Bottom), 0, rowCount - 1)};
    selecting = true;
    // Highlight the ordinary cells of the rectangle; the headings show their
    // own selected state.
    const int left = std::max(rect.Left, 1);
    const int top = std::max(rect.Top, 1);
    if (left <= rect.Right && top <= rect.Bottom) {
        const QModelIndex first = cellModel->index(top - 1, left - 1);
        const QModelIndex last = cellModel->index(rect.Bottom - 1, rect.Right - 1);
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clearSelection();
    }
    selecting = false;
    if (rect.Left == 0 || rect.Top == 0) {
        headingSelection = rect;
    } else {
        headingSelection.reset();
    }
    if (corner != nullptr) {
        corner->update();
    }
}

void StringGrid::SelectionChangedByUser() {
    if (!selecting && headingSelection) {
        headingSelection.reset();
        if (corner != nullptr) {
            corner->update();
        }
    }
}

void StringGrid::SetOwnShortcuts(std::function<bool()> active) {
    ownShortcutsActive = std::move(active);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    const bool selectAll = IsGridShortcut(*event, Qt::Key_A);
    const bool copy = IsGridShortcut(*event, Qt::Key_C);
    if (selectAll || copy) {
        if (ownShortcutsActive && hasFocus() && ownShortcutsActive()) {
            if (selectAll) {
                SelectWholeGrid(*this);
            } else {
                CopyGridSelection(*this);
            }
        }
        // The view's own Ctrl+A (ordinary cells only) and Ctrl+C (current cell
        // onto the system clipboard) would contradict the grid's commands.
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void StringGrid::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(copyAction);
    menu.addAction(selectAllAction);
    menu.exec(event->globalPos());
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner && event->type() == QEvent::Paint) {
        PaintCorner();
        return true;
    }
    if (DragHeadingColumn(watched, event)) {
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

// Cell (0, 0) drawn as a heading in the corner above the heading column.
void StringGrid::PaintCorner() {
    QPainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    // Drawn as a live heading although the button itself is disabled.
    option.palette.setCurrentColorGroup(QPalette::Active);
    option.rect = corner->rect();
    option.text = Cell(0, 0);
    option.textAlignment = CellAlignment;
    option.orientation = Qt::Horizontal;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.state |= QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_Horizontal;
    if (headingSelection && headingSelection->Left == 0 && headingSelection->Top == 0) {
        option.state |= QStyle::State_On;
    }
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}

// The heading column is the vertical header; its right edge (in the header or
// in the corner above it) can be dragged like a column border.
bool StringGrid::DragHeadingColumn(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != corner && widget != verticalHeader()->viewport())) {
        return false;
    }
    const auto nearEdge = [this](int x) { return std::abs(x - ColWidth(0)) <= EdgeGrip; };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && nearEdge(mouse->position().toPoint().x())) {
            draggingHeadingColumn = true;
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int x = mouse->position().toPoint().x();
        if (draggingHeadingColumn) {
            SetColWidth(0, x);
            return true;
        }
        if (nearEdge(x)) {
            widget->setCursor(Qt::SplitHCursor);
        } else {
            widget->unsetCursor();
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (draggingHeadingColumn) {
            draggingHeadingColumn = false;
            return true;
        }
        return false;
    case QEvent::Leave:
        if (!draggingHeadingColumn) {
            widget->unsetCursor();
        }
        return false;
    default:
        return false;
    }
}
