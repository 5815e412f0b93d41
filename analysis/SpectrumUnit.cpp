// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumUnit.h"

#include "GraphTexts.h"

namespace SpectrumUnits {

namespace {

constexpr const char *Captions[Count] = {"dB (full scale)", "dBFS (window-corrected)", "dBFS/Hz", "nV/sqrt(Hz)"};
constexpr const char *CliNames[Count] = {"db", "dbfs", "dbfs-hz", "nv-rthz"};
constexpr const char *ValueUnits[Count] = {"dB", "dBFS", "dBFS/Hz", "nV/√Hz"};

} // namespace

SpectrumUnit fromIndex(int index)
{
    return index >= 0 && index < Count ? static_cast<SpectrumUnit>(index) : SpectrumUnit::DbFullScale;
}

QString caption(SpectrumUnit unit)
{
    return QString::fromLatin1(Captions[static_cast<int>(unit)]);
}

QString axisLabel(SpectrumUnit unit)
{
    return unit == SpectrumUnit::DbFullScale ? QString::fromLatin1(GraphTexts::FftYLabel) : caption(unit);
}

QString valueUnit(SpectrumUnit unit)
{
    return QString::fromUtf8(ValueUnits[static_cast<int>(unit)]);
}

QString cliName(SpectrumUnit unit)
{
    return QString::fromLatin1(CliNames[static_cast<int>(unit)]);
}

std::optional<SpectrumUnit> fromCliName(QStringView name)
{
    for (int i = 0; i < Count; ++i) {
        if (name == QLatin1String(CliNames[i]))
            return static_cast<SpectrumUnit>(i);
    }
    return std::nullopt;
}

} // namespace SpectrumUnits
