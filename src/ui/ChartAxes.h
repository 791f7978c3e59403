#pragma once

class QChart;
class QValueAxis;

// Axis helpers shared by the time-history plots and the spectra chart.

// Scales the axis to low .. high widened to whole multiples of a readable tick
// step (1, 2, 2.5 or 5 times a power of ten, chosen for about `intervals`
// intervals), with ticks at the multiples of that step (0 among them). A
// single value gets a span around it; a non-finite bound leaves the axis as it is.
void FitAxis(QValueAxis& axis, double low, double high, int intervals);

// Axis labels with the given decimal separator and no thousands separator: the
// system locale when its decimal point is that character, else the C locale.
// The axes need a label format with a precision ("%.6g"): localized labels
// written with a bare "%g" come out empty.
void UseDecimalSeparator(QChart& chart, char decimalSeparator);
