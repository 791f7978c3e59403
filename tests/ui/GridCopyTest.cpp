#include "ui/GridCopy.h"
#include "ui/StringGrid.h"

#include "UiTestData.h"
#include "support/FakePlatform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 4 x 4 grid: headings "H0".."H3" in row 0, "R1".."R3" in column 0, cell
// (c, r) "c<r>" - with "a b / c d" at (1..2, 1..2).
class GridFixture : public ::testing::Test {
protected:
    void SetUp() override {
        grid.SetSize(4, 4);
        for (int col = 0; col < 4; ++col) {
            grid.SetCell(col, 0, QStringLiteral("H%1").arg(col));
        }
        for (int row = 1; row < 4; ++row) {
            grid.SetCell(0, row, QStringLiteral("R%1").arg(row));
            for (int col = 1; col < 4; ++col) {
                grid.SetCell(col, row, QStringLiteral("%1%2").arg(col).arg(row));
            }
        }
        grid.SetCell(1, 1, "a");
        grid.SetCell(2, 1, "b");
        grid.SetCell(1, 2, "c");
        grid.SetCell(2, 2, "d");
    }
    // Selects ordinary cells through the view, as a mouse drag does.
    void UserSelects(int left, int top, int right, int bottom) {
        QAbstractItemModel& model = *grid.model();
        grid.selectionModel()->select(
            QItemSelection(model.index(top - 1, left - 1), model.index(bottom - 1, right - 1)),
            QItemSelectionModel::ClearAndSelect);
    }
    QString Copied() {
        CopyGridSelection(grid);
        return platform.clipboard;
    }
    FakePlatform platform;
    StringGrid grid{platform};
};

TEST_F(GridFixture, OneCellIsItsTextAndAnLf) {
    grid.SetCell(3, 3, "1.5");
    grid.SetSelection({3, 3, 3, 3});
    EXPECT_EQ(Copied(), "1.5\n");
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 1u);
}

TEST_F(GridFixture, TwoByTwoIsTabSeparatedWithAnLfAfterEveryRow) {
    UserSelects(1, 1, 2, 2);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 1, 2, 2}));
    EXPECT_EQ(Copied(), "a\tb\nc\td\n");
}

TEST_F(GridFixture, SelectAllCopiesTheHeadingsToo) {
    SelectWholeGrid(grid);
    EXPECT_EQ(grid.Selection(), (GridRect{0, 0, 3, 3}));
    EXPECT_EQ(Copied(), "H0\tH1\tH2\tH3\n"
                        "R1\ta\tb\t31\n"
                        "R2\tc\td\t32\n"
                        "R3\t13\t23\t33\n");
}

TEST_F(GridFixture, EmptyCellsGiveEmptyFields) {
    grid.SetCell(2, 1, "");
    grid.SetCell(3, 1, "");
    grid.SetCell(1, 2, "");
    UserSelects(1, 1, 3, 2);
    EXPECT_EQ(Copied(), "a\t\t\n\td\t32\n");
}

TEST_F(GridFixture, ASelectionByTheUserDropsTheHeadings) {
    SelectWholeGrid(grid);
    UserSelects(2, 2, 3, 3);
    EXPECT_EQ(grid.Selection(), (GridRect{2, 2, 3, 3}));
    EXPECT_EQ(Copied(), "d\t32\n23\t33\n");
}

TEST_F(GridFixture, WithNothingSelectedTheCurrentCellIsTheSelection) {
    EXPECT_EQ(grid.Selection(), (GridRect{1, 1, 1, 1}));
    grid.selectionModel()->setCurrentIndex(grid.model()->index(1, 2),
                                           QItemSelectionModel::NoUpdate);
    EXPECT_EQ(grid.Selection(), (GridRect{3, 2, 3, 2}));
    EXPECT_EQ(Copied(), "32\n");
}

TEST_F(GridFixture, SetSelectionIsClippedToTheGrid) {
    grid.SetSelection({2, 3, 9, -4});
    EXPECT_EQ(grid.Selection(), (GridRect{2, 0, 3, 3}));
}

TEST_F(GridFixture, ContextMenuOffersBothCommands) {
    EXPECT_EQ(grid.CopyAction()->text(), "Copy Selection ( Ctrl+C )");
    EXPECT_EQ(grid.SelectAllAction()->text(), "Select All ( Ctrl+A )");
    grid.SelectAllAction()->trigger();
    grid.CopyAction()->trigger();
    EXPECT_TRUE(platform.clipboard.startsWith("H0\tH1\tH2\tH3\nR1\t"));
}

TEST_F(GridFixture, CellsAreAddressedColumnFirstAndShownByTheView) {
    QAbstractItemModel& model = *grid.model();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.index(0, 2).data().toString(), "31"); // grid (3, 1)
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "H2");
    EXPECT_EQ(model.headerData(2, Qt::Vertical).toString(), "R3");
    EXPECT_EQ(grid.Cell(0, 0), "H0");
    EXPECT_EQ(grid.Cell(4, 0), "");  // outside
    EXPECT_EQ(grid.Cell(0, -1), ""); // outside
    grid.SetCell(7, 7, "ignored");
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

TEST_F(GridFixture, ACellFunctionOverridesStoredText) {
    grid.SetCellFunction([](int col, int row) -> std::optional<QString> {
        if (row == 0) {
            return std::nullopt;
        }
        return QStringLiteral("f%1,%2").arg(col).arg(row);
    });
    UserSelects(1, 3, 2, 3);
    EXPECT_EQ(Copied(), "f1,3\tf2,3\n");
    EXPECT_EQ(grid.Cell(2, 0), "H2");
    grid.SetCellFunction(nullptr);
    EXPECT_EQ(grid.Cell(1, 3), "13");
}

TEST_F(GridFixture, ResizingKeepsTheCellsAndWidthsThatRemain) {
    grid.SetColWidth(0, 56);
    grid.SetColWidth(2, 100);
    grid.SetRowCount(40000);
    EXPECT_EQ(grid.RowCount(), 40000);
    EXPECT_EQ(grid.Cell(2, 2), "d");
    EXPECT_EQ(grid.Cell(2, 39999), "");
    EXPECT_EQ(grid.ColWidth(0), 56);
    EXPECT_EQ(grid.ColWidth(2), 100);
    grid.SetSize(3, 2);
    EXPECT_EQ(grid.Cell(2, 1), "b");
    EXPECT_EQ(grid.Cell(3, 1), "");
    EXPECT_EQ(grid.ColWidth(2), 100);
    grid.SetSize(5, 3); // new cells are empty, the dropped ones do not come back
    EXPECT_EQ(grid.Cell(3, 1), "");
    EXPECT_EQ(grid.Cell(2, 2), "");
    grid.SetSize(0, -1);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.RowCount(), 1);
}

TEST_F(GridFixture, TheHeadingColumnWidensByDraggingItsRightEdge) {
    grid.SetColWidth(0, 56);
    grid.resize(400, 200);
    grid.show();
    QWidget* side = grid.verticalHeader()->viewport();
    QTest::mousePress(side, Qt::LeftButton, Qt::NoModifier, QPoint(55, 10));
    QMouseEvent drag(QEvent::MouseMove, QPointF(120, 12), side->mapToGlobal(QPointF(120, 12)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(side, &drag);
    QTest::mouseRelease(side, Qt::LeftButton, Qt::NoModifier, QPoint(120, 12));
    EXPECT_EQ(grid.ColWidth(0), 120);
    // A press away from the edge is no drag.
    QTest::mousePress(side, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 12), side->mapToGlobal(QPointF(60, 12)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(side, &move);
    QTest::mouseRelease(side, Qt::LeftButton, Qt::NoModifier, QPoint(60, 12));
    EXPECT_EQ(grid.ColWidth(0), 120);
}

TEST_F(GridFixture, ClearRowsBlanksTheStoredText) {
    grid.ClearRows(0, 1);
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(3, 1), "");
    EXPECT_EQ(grid.Cell(0, 2), "R2");
    EXPECT_EQ(grid.RowCount(), 4);
}

TEST_F(GridFixture, ReadOnlyFixedRowsVerticalScrollBarOnly) {
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(grid.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), 24);
    EXPECT_EQ(grid.horizontalHeader()->height(), 24);
    EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_TRUE(grid.verticalHeader()->isVisible() || !grid.isVisible());
}

// Which key presses count as the grid keys.
struct KeyCase {
    int key;
    Qt::KeyboardModifiers modifiers;
    bool selectAll;
    bool copy;
};

class GridShortcutKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(GridShortcutKeys, CtrlWithAOrCWhateverElseIsHeld) {
    const KeyCase& c = GetParam();
    const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
    EXPECT_EQ(IsGridShortcut(event, Qt::Key_A), c.selectAll);
    EXPECT_EQ(IsGridShortcut(event, Qt::Key_C), c.copy);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridShortcutKeys,
    ::testing::Values(KeyCase{Qt::Key_A, Qt::ControlModifier, true, false},
                      KeyCase{Qt::Key_C, Qt::ControlModifier, false, true},
                      KeyCase{Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, true, false},
                      KeyCase{Qt::Key_C, Qt::ControlModifier | Qt::AltModifier, false, true},
                      KeyCase{Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier,
                              false, true},
                      KeyCase{Qt::Key_C, Qt::NoModifier, false, false},
                      KeyCase{Qt::Key_A, Qt::ShiftModifier, false, false},
                      KeyCase{Qt::Key_C, Qt::AltModifier, false, false},
                      KeyCase{Qt::Key_V, Qt::ControlModifier, false, false}));

// A grid with its own keys, in a shown and focused window.
class GridOwnKeys : public GridFixture {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        grid.SetOwnShortcuts([this] { return active; });
        grid.show();
        QApplication::setActiveWindow(&grid);
        grid.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        QApplication::clipboard()->setText("system clipboard untouched");
    }
    bool active = true;
};

TEST_F(GridOwnKeys, CtrlAThenCtrlCCopyTheWholeGridThroughThePlatform) {
    ASSERT_TRUE(grid.hasFocus());
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{0, 0, 3, 3}));
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform.clipboard.startsWith("H0\tH1"));
    // The view's own copy of the current cell does not run.
    EXPECT_EQ(QApplication::clipboard()->text(), "system clipboard untouched");
}

TEST_F(GridOwnKeys, NothingWhileInactive) {
    active = false;
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform.Texts("SetClipboardText").empty());
    EXPECT_NE(grid.Selection(), (GridRect{0, 0, 3, 3}));
}

TEST_F(GridOwnKeys, NothingWithoutTheFocus) {
    grid.clearFocus();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform.Texts("SetClipboardText").empty());
}

TEST_F(GridFixture, AGridWithoutOwnKeysIgnoresThem) {
    grid.show();
    QApplication::setActiveWindow(&grid);
    grid.setFocus();
    QApplication::clipboard()->setText("system clipboard untouched");
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform.Texts("SetClipboardText").empty());
    EXPECT_EQ(QApplication::clipboard()->text(), "system clipboard untouched");
}

} // namespace
