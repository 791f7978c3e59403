#include "ui/ChartAxes.h"

#include <QChart>
#include <QLocale>
#include <QValueAxis>

#include <cmath>

void FitAxis(QValueAxis& axis, double low, double high, int intervals) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return;
    }
    if (!(low < high)) {
        const double pad = low == 0.0 ? 1.0 : std::fabs(low) * 0.1;
        low -= pad;
        high += pad;
    }
    const double raw = (high - low) / (intervals > 0 ? intervals : 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * magnitude;
    for (double factor : {1.0, 2.0, 2.5, 5.0}) {
        if (factor * magnitude >= raw) {
            step = factor * magnitude;
            break;
        }
    }
    // The small allowance keeps a bound that is already a multiple (up to
    // rounding of the division) from growing by a whole step.
    constexpr double allowance = 1e-9;
    const double first = std::floor(low / step + allowance) * step;
    const double last = std::ceil(high / step - allowance) * step;
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0.0);
    axis.setTickInterval(step);
    axis.setRange(first, last);
}

void UseDecimalSeparator(QChart& chart, char decimalSeparator) {
    QLocale locale = QLocale::system();
    if (locale.decimalPoint() != QString(QChar::fromLatin1(decimalSeparator))) {
        locale = QLocale::c();
    }
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    chart.setLocale(locale);
    chart.setLocalizeNumbers(true);
}
