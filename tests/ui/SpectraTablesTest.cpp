#include "ui/SpectraTables.h"

#include "UiTestData.h"
#include "support/FakePlatform.h"
#include "text/NumberText.h"
#include "ui/GridCopy.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using uitest::MakeStore;

QString Fixed6(double value) {
    return QString::fromStdString(FormatFixed(value, 6));
}

class SpectrumTable : public ::testing::Test {
protected:
    FakePlatform platform;
    StringGrid grid{platform};
};

TEST_F(SpectrumTable, OneDampingOnTheDefaultGrid) {
    const SpectraStore store = MakeStore({0.05});
    FillSpectrumTable(grid, store.Periods, store.DisplacementCurves, store.DampingRatios, '.');
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 302);
    EXPECT_EQ(grid.Cell(0, 0), "Period[sec]");
    EXPECT_EQ(grid.Cell(1, 0), "Damp.=5%");
    EXPECT_EQ(grid.Cell(0, 1), "0.000000");
    EXPECT_EQ(grid.Cell(0, 2), "0.020000");
    EXPECT_EQ(grid.Cell(0, 301), "6.000000");
    EXPECT_EQ(grid.Cell(1, 1), "0.000000");
    EXPECT_EQ(grid.Cell(1, 2), "1000.001000");
    EXPECT_EQ(grid.Cell(1, 301), Fixed6(store.DisplacementCurves[0][300]));
    EXPECT_EQ(grid.ColWidth(0), 80);
    EXPECT_EQ(grid.ColWidth(1), 80);
}

TEST_F(SpectrumTable, ThreeDampingsAndTheSeparator) {
    const SpectraStore store = MakeStore({0.025, 0.05, 0.1}, 4);
    FillSpectrumTable(grid, store.Periods, store.VelocityCurves, store.DampingRatios, ',');
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(1, 0), "Damp.=2,5%");
    EXPECT_EQ(grid.Cell(2, 0), "Damp.=5%");
    EXPECT_EQ(grid.Cell(3, 0), "Damp.=10%");
    EXPECT_EQ(grid.Cell(0, 3), "0,040000");
    EXPECT_EQ(grid.Cell(3, 4), "2020,003000"); // velocity table, ratio 2, period 3
    for (int col = 0; col < 4; ++col) {
        EXPECT_EQ(grid.ColWidth(col), 80) << col;
    }
}

TEST_F(SpectrumTable, RefillingLeavesNothingOfTheEarlierTable) {
    const SpectraStore big = MakeStore({0.02, 0.05, 0.1, 0.2}, 301);
    FillSpectrumTable(grid, big.Periods, big.DisplacementCurves, big.DampingRatios, '.');
    const SpectraStore small = MakeStore({0.05}, 3);
    FillSpectrumTable(grid, small.Periods, small.DisplacementCurves, small.DampingRatios, '.');
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.RowCount(), 4);
    SelectWholeGrid(grid);
    CopyGridSelection(grid);
    EXPECT_EQ(platform.clipboard, "Period[sec]\tDamp.=5%\n"
                                  "0.000000\t0.000000\n"
                                  "0.020000\t1000.001000\n"
                                  "0.040000\t1000.002000\n");
}

TEST_F(SpectrumTable, MissingOrShortCurvesLeaveTheirCellsEmpty) {
    SpectraStore store = MakeStore({0.02, 0.05, 0.1}, 5);
    store.AccelerationCurves.resize(1);    // a dropped ratio
    store.AccelerationCurves[0].resize(2); // and a short curve
    FillSpectrumTable(grid, store.Periods, store.AccelerationCurves, store.DampingRatios, '.');
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.Cell(1, 2), "4000.001000");
    EXPECT_EQ(grid.Cell(1, 3), "");
    EXPECT_EQ(grid.Cell(2, 1), "");
    EXPECT_EQ(grid.Cell(3, 5), "");
    EXPECT_EQ(grid.Cell(3, 0), "Damp.=10%");

    const std::vector<DOUBLEVECTOR> none;
    FillSpectrumTable(grid, store.Periods, none, {}, '.');
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.Cell(0, 5), "0.080000");
}

TEST_F(SpectrumTable, ClearBlanksEveryCellAndKeepsTheSize) {
    const SpectraStore store = MakeStore({0.05, 0.1}, 11);
    FillSpectrumTable(grid, store.Periods, store.DisplacementCurves, store.DampingRatios, '.');
    ClearSpectrumTable(grid);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 12);
    SelectWholeGrid(grid);
    CopyGridSelection(grid);
    QString blank;
    for (int row = 0; row < 12; ++row) {
        blank += "\t\t\n";
    }
    EXPECT_EQ(platform.clipboard, blank);
}

// The five tabs on a page control, as the main window holds them.
class SpectraTabs : public ::testing::Test {
protected:
    void SetUp() override {
        pages.addTab(new QWidget, "Graph");
        grids = AddSpectraTableTabs(pages, platform, [this] { return pageShown; });
    }
    FakePlatform platform;
    QTabWidget pages;
    SpectraGrids grids{};
    bool pageShown = true;
};

TEST_F(SpectraTabs, FiveBlankTablesOfTenColumnsAndFiveRows) {
    const char* captions[5] = {"Displacement", "Velocity", "Acceleration", "Pseudo-Velocity",
                               "Pseudo-Accelertion"};
    ASSERT_EQ(pages.count(), 6);
    for (int i = 0; i < 5; ++i) {
        StringGrid* grid = grids[static_cast<std::size_t>(i)];
        EXPECT_EQ(pages.tabText(i + 1), captions[i]);
        EXPECT_EQ(pages.widget(i + 1), grid);
        EXPECT_EQ(pages.findChild<StringGrid*>(QStringLiteral("strngrd%1").arg(i + 1)), grid);
        EXPECT_EQ(grid->ColCount(), 10);
        EXPECT_EQ(grid->RowCount(), 5);
        for (int col = 0; col < 10; ++col) {
            for (int row = 0; row < 5; ++row) {
                ASSERT_EQ(grid->Cell(col, row), "");
            }
        }
    }
}

TEST_F(SpectraTabs, EachTableShowsItsQuantityInPresentationOrder) {
    const SpectraStore store = MakeStore({0.05, 0.1}, 3);
    FillSpectraTables(grids, store, '.');
    // Table t holds (t + 1) * 1000 + ...: displacement 1, velocity 2,
    // pseudo-velocity 3, acceleration 4, pseudo-acceleration 5.
    const char* second[5] = {"1010.001000", "2010.001000", "4010.001000", "3010.001000",
                             "5010.001000"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(grids[i]->RowCount(), 4);
        EXPECT_EQ(grids[i]->ColCount(), 3);
        EXPECT_EQ(grids[i]->Cell(2, 2), second[i]) << i;
        EXPECT_EQ(grids[i]->Cell(0, 0), "Period[sec]");
    }
    ClearSpectraTables(grids);
    for (StringGrid* grid : grids) {
        EXPECT_EQ(grid->RowCount(), 4);
        EXPECT_EQ(grid->Cell(0, 0), "");
        EXPECT_EQ(grid->Cell(2, 2), "");
    }
}

// Ctrl+C on a spectra table: only for the shown table of the shown page, with the focus.
TEST_F(SpectraTabs, KeysWorkOnlyOnTheShownFocusedTableOfTheShownPage) {
    const SpectraStore store = MakeStore({0.05}, 3);
    FillSpectraTables(grids, store, '.');
    pages.show();
    QApplication::setActiveWindow(&pages);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pages));
    pages.setCurrentIndex(2); // "Velocity"
    StringGrid& velocity = *grids[1];
    velocity.setFocus();
    ASSERT_TRUE(velocity.hasFocus());

    velocity.SetSelection({1, 2, 1, 2});
    QTest::keyClick(&velocity, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, "2000.001000\n");

    pageShown = false; // the other page of the main window
    QTest::keyClick(&velocity, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&velocity, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 1u);
    EXPECT_EQ(velocity.Selection(), (GridRect{1, 2, 1, 2}));
    pageShown = true;

    // Another table's key handler while that table is not the shown tab.
    QTest::keyClick(grids[0], Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.Texts("SetClipboardText").size(), 1u);

    QTest::keyClick(&velocity, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(&velocity, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(platform.clipboard, "Period[sec]\tDamp.=5%\n"
                                  "0.000000\t2000.000000\n"
                                  "0.020000\t2000.001000\n"
                                  "0.040000\t2000.002000\n");
}

} // namespace
