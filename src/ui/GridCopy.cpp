#include "ui/GridCopy.h"

#include "app/Platform.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

QString GridSelectionText(const StringGrid& grid) {
    const GridRect rect = grid.Selection();
    QString text;
    for (int row = rect.Top; row <= rect.Bottom; ++row) {
        for (int col = rect.Left; col < rect.Right; ++col) {
            text += grid.Cell(col, row);
            text += QChar(u'\t');
        }
        text += grid.Cell(rect.Right, row);
        text += QChar(u'\n');
    }
    return text;
}

void CopyGridSelection(const StringGrid& grid, Platform& platform) {
    platform.SetClipboardText(GridSelectionText(grid));
}

void CopyGridSelection(const StringGrid& grid) {
    CopyGridSelection(grid, grid.GridPlatform());
}

void SelectWholeGrid(StringGrid& grid) {
    grid.SetSelection({0, 0, grid.ColCount() - 1, grid.RowCount() - 1});
}

bool IsGridShortcut(const QKeyEvent& event, int key) {
    return event.key() == key && event.modifiers().testFlag(Qt::ControlModifier);
}

GridShortcutFilter::GridShortcutFilter(QWidget& window, StringGrid& grid)
    : QObject(&window), window(&window), grid(&grid) {
    qApp->installEventFilter(this);
}

GridShortcutFilter::~GridShortcutFilter() {
    qApp->removeEventFilter(this);
}

bool GridShortcutFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || window.isNull() || grid.isNull()) {
        return false;
    }
    QWidget* focus = window->focusWidget();
    if (watched != (focus != nullptr ? focus : window.data())) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (IsGridShortcut(key, Qt::Key_A)) {
        SelectWholeGrid(*grid);
    } else if (IsGridShortcut(key, Qt::Key_C)) {
        CopyGridSelection(*grid);
    }
    return false;
}
