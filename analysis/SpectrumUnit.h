// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The units the FFT graph's Y axis can show, in the order of the unit choice
// (index 0, the classic scale, is the default). LevelScale converts to them.
enum class SpectrumUnit {
    // dB against the 0-dB reference, the window's gain left in: a full-scale
    // tone on a bin reads 0 dB with Rectangular and lower with every other
    // window; with normalize the highest bin reads 0 dB.
    DbFullScale = 0,
    // dB against full scale with the window's coherent gain taken out: a tone
    // centred on a bin peaks at its level in dBFS in every window, and between
    // bins up to the window's scalloping loss lower.
    DbfsWindowCorrected = 1,
    // Each bin read as a one-sided noise density over the window's equivalent
    // noise bandwidth, against a full-scale sine's power.
    DbfsPerHz = 2,
    // The same density in volts, from the block's volts per code.
    NanovoltsPerRootHz = 3,
};

namespace SpectrumUnits {

inline constexpr int Count = 4;

// The unit of choice index, DbFullScale for an index out of range.
SpectrumUnit fromIndex(int index);

// The unit's name in the unit choice: "dB (full scale)", "dBFS
// (window-corrected)", "dBFS/Hz", "nV/sqrt(Hz)".
QString caption(SpectrumUnit unit);
// The Y axis label: the classic "Magnitude (dB)" for DbFullScale, so the
// default graph reads as it always has; the caption for the others.
QString axisLabel(SpectrumUnit unit);

// The unit after a value in the cursor readout: dB, dBFS, dBFS/Hz, nV/√Hz.
QString valueUnit(SpectrumUnit unit);

// The command-line name: db, dbfs, dbfs-hz, nv-rthz.
QString cliName(SpectrumUnit unit);
// The unit of a command-line name (exact, lower case), nothing for another text.
std::optional<SpectrumUnit> fromCliName(QStringView name);

} // namespace SpectrumUnits
