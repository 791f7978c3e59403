#pragma once

// Records and spectra stores built by hand for the presentation tests.

#include "record/Integration.h"
#include "record/Timeserie.h"
#include "spectra/SpectraStore.h"

#include <QString>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace uitest {

constexpr double Gravity = 980.0; // cm/s²

// An integrated, uncorrected record of the given samples (g).
inline std::unique_ptr<TimeHistory> MakeRecord(const std::string& name, double dt,
                                               const std::vector<double>& samples) {
    auto record = std::make_unique<TimeHistory>(name, dt);
    for (double sample : samples) {
        record->AddAcceleration(sample);
    }
    IntegrateRecord(*record, Gravity, false);
    record->SetIntegrated(true);
    return record;
}

// A record of n samples, a slow sine with a spike, so that max and min are inside.
inline std::unique_ptr<TimeHistory> MakeLongRecord(const std::string& name, double dt, int n) {
    std::vector<double> samples(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        samples[static_cast<std::size_t>(i)] = 0.1 * std::sin(0.01 * i) * std::cos(0.0007 * i);
    }
    return MakeRecord(name, dt, samples);
}

// Marks the record corrected with corrected series that differ from the
// uncorrected ones (acceleration shifted by offset g, then integrated).
inline void CorrectByOffset(TimeHistory& record, double offset) {
    record.GetCorrectedAcceleration() = record.GetAcceleration();
    for (double& value : record.GetCorrectedAcceleration()) {
        value -= offset;
    }
    IntegrateRecord(record, Gravity, true);
    record.SetCorrected(true);
}

// The period grid 0, 0.02, ..., 6 s (301 periods) with its frequencies
// (entry 0 repeats entry 1), and one curve per damping ratio in every table.
// Curve value i of table t for ratio j: (t + 1) * 1000 + j * 10 + i * 0.001, so
// every cell tells which table, ratio and period it came from; displacement
// curves start at 0 as the driver leaves them.
inline SpectraStore MakeStore(const std::vector<double>& ratios, int periodCount = 301) {
    SpectraStore store;
    store.DampingRatios = ratios;
    for (int i = 0; i < periodCount; ++i) {
        store.Periods.push_back(static_cast<double>(i) * 0.02);
    }
    store.Frequencies.resize(store.Periods.size());
    for (std::size_t i = 1; i < store.Periods.size(); ++i) {
        store.Frequencies[i] = 1.0 / store.Periods[i];
    }
    if (store.Frequencies.size() > 1) {
        store.Frequencies[0] = store.Frequencies[1];
    }
    std::vector<DOUBLEVECTOR>* tables[5] = {&store.DisplacementCurves, &store.VelocityCurves,
                                            &store.PseudoVelocityCurves, &store.AccelerationCurves,
                                            &store.PseudoAccelerationCurves};
    for (int t = 0; t < 5; ++t) {
        for (std::size_t j = 0; j < ratios.size(); ++j) {
            DOUBLEVECTOR curve(store.Periods.size());
            for (std::size_t i = 0; i < curve.size(); ++i) {
                curve[i] = (t + 1) * 1000.0 + static_cast<double>(j) * 10.0 +
                           static_cast<double>(i) * 0.001;
            }
            if (t == 0) {
                curve[0] = 0.0;
            }
            tables[t]->push_back(std::move(curve));
        }
    }
    return store;
}

} // namespace uitest
