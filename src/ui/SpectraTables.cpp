#include "ui/SpectraTables.h"

#include "spectra/SpectraStore.h"
#include "text/NumberText.h"
#include "ui/StringGrid.h"

#include <QTabWidget>

#include <utility>

namespace {
constexpr int ColumnWidth = 80; // px, every column of a filled table
constexpr int StartColumns = 10;
constexpr int StartRows = 5;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

SpectraGrids AddSpectraTableTabs(QTabWidget& pages, Platform& platform,
                                 const std::function<bool()>& pageShown) {
    static const char* const captions[5] = {"Displacement", "Velocity", "Acceleration",
                                            "Pseudo-Velocity", "Pseudo-Accelertion"};
    SpectraGrids grids{};
    for (int i = 0; i < 5; ++i) {
        auto* grid = new StringGrid(platform);
        grid->setObjectName(QStringLiteral("strngrd%1").arg(i + 1));
        grid->SetSize(StartColumns, StartRows);
        pages.addTab(grid, QString::fromLatin1(captions[i]));
        grid->SetOwnShortcuts([grid, pages = &pages, pageShown] {
            return pages->currentWidget() == grid && (!pageShown || pageShown());
        });
        grids[static_cast<std::size_t>(i)] = grid;
    }
    return grids;
}

void FillSpectrumTable(StringGrid& grid, const DOUBLEVECTOR& periods,
                       const std::vector<DOUBLEVECTOR>& curves, const DOUBLEVECTOR& dampingRatios,
                       char decimalSeparator) {
    const int periodCount = static_cast<int>(periods.size());
    const int ratioCount = static_cast<int>(dampingRatios.size());
    grid.SetSize(ratioCount + 1, periodCount + 1);
    for (int col = 0; col <= ratioCount; ++col) {
        grid.SetColWidth(col, ColumnWidth);
    }
    grid.SetCell(0, 0, QStringLiteral("Period[sec]"));
    for (int j = 0; j < ratioCount; ++j) {
        grid.SetCell(j + 1, 0,
                     QStringLiteral("Damp.=") +
                         Text(FormatUpTo(dampingRatios[static_cast<std::size_t>(j)] * 100.0, 3,
                                         decimalSeparator)) +
                         QStringLiteral("%"));
    }
    for (int k = 0; k < periodCount; ++k) {
        const auto period = static_cast<std::size_t>(k);
        grid.SetCell(0, k + 1, Text(FormatFixed(periods[period], 6, decimalSeparator)));
        for (int j = 0; j < ratioCount; ++j) {
            const auto curve = static_cast<std::size_t>(j);
            const bool covered = curve < curves.size() && period < curves[curve].size();
            grid.SetCell(j + 1, k + 1,
                         covered ? Text(FormatFixed(curves[curve][period], 6, decimalSeparator))
                                 : QString());
        }
    }
}

void ClearSpectrumTable(StringGrid& grid) {
    grid.ClearRows(0, grid.RowCount() - 1);
}

void FillSpectraTables(const SpectraGrids& grids, const SpectraStore& store,
                       char decimalSeparator) {
    static constexpr SpectrumQuantity order[5] = {
        SpectrumQuantity::Displacement, SpectrumQuantity::Velocity, SpectrumQuantity::Acceleration,
        SpectrumQuantity::PseudoVelocity, SpectrumQuantity::PseudoAcceleration};
    for (std::size_t i = 0; i < grids.size(); ++i) {
        if (grids[i] != nullptr) {
            FillSpectrumTable(*grids[i], store.Periods, store.Curves(order[i]), store.DampingRatios,
                              decimalSeparator);
        }
    }
}

void ClearSpectraTables(const SpectraGrids& grids) {
    for (StringGrid* grid : grids) {
        if (grid != nullptr) {
            ClearSpectrumTable(*grid);
        }
    }
}
