#pragma once

#include "record/Timeserie.h"

#include <array>
#include <functional>
#include <vector>

class Platform;
class QTabWidget;
class StringGrid;
struct SpectraStore;

// The five spectra tables strngrd1 ... strngrd5, in the order Displacement,
// Velocity, Acceleration, Pseudo-Velocity, Pseudo-Acceleration.
using SpectraGrids = std::array<StringGrid*, 5>;

// Adds the five table tabs "Displacement", "Velocity", "Acceleration",
// "Pseudo-Velocity", "Pseudo-Accelertion" to the spectra page control, each
// holding one new grid (objectName strngrd1 ... strngrd5, 10 columns x 5 rows,
// blank). Each grid runs Ctrl+A / Ctrl+C on itself while it has the focus, its
// tab is the current one and pageShown() is true (the spectra page is shown).
SpectraGrids AddSpectraTableTabs(QTabWidget& pages, Platform& platform,
                                 const std::function<bool()>& pageShown);

// One table: K + 1 rows (K = periods.size()) and n + 1 columns (n =
// dampingRatios.size()), every column 80 px wide. Cell (0, 0) "Period[sec]",
// (j + 1, 0) "Damp.=" + ratio x 100 ("0.###") + "%", (0, k + 1) the period and
// (j + 1, k + 1) value k of curve j, both "0.000000". Every cell of the new size
// is written. A missing curve (j >= curves.size()) or a short one leaves the
// cells it does not cover empty.
void FillSpectrumTable(StringGrid& grid, const DOUBLEVECTOR& periods,
                       const std::vector<DOUBLEVECTOR>& curves, const DOUBLEVECTOR& dampingRatios,
                       char decimalSeparator);

// Every cell empty, the headings too; the counts stay.
void ClearSpectrumTable(StringGrid& grid);

// FillSpectrumTable for each of the five grids with the store's curves of its
// quantity (strngrd3 shows AccelerationCurves, strngrd4 PseudoVelocityCurves).
void FillSpectraTables(const SpectraGrids& grids, const SpectraStore& store, char decimalSeparator);

// ClearSpectrumTable for each of the five grids, in order.
void ClearSpectraTables(const SpectraGrids& grids);
