// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewTraits.h"

#include <array>

namespace {

using FigureCatalogue::Section;
using Kind = GraphFileReader::Kind;

const std::array<ViewTraits, 4> Views{{
    {.view = PlotDocument::TimeDomain,
     .name = "time",
     .caption = ": Time Domain",
     .result = PlotDocument::TimeValid,
     .figures = Section::Statistics | Section::Noise,
     .graph = true,
     .statusPanels = true,
     .subtitled = false,
     .saveTitle = "Save Time Domain Data",
     .saveCaution = nullptr,
     .referenceKind = Kind::TimeDomain,
     .referenceName = "Time domain"},
    {.view = PlotDocument::FFTPlot,
     .name = "fft",
     .caption = ": Fast Fourier Transform",
     .result = PlotDocument::FftValid,
     .figures = Section::Spectrum | Section::Tone,
     .graph = true,
     .statusPanels = true,
     .subtitled = true,
     .saveTitle = "Save FFT Data",
     .saveCaution = "Caution: This program cannot open FFT data files - remember to save time domain data.",
     .referenceKind = Kind::Fft,
     .referenceName = "FFT"},
    {.view = PlotDocument::Histogram,
     .name = "histogram",
     .caption = ": Histogram",
     .result = PlotDocument::HistogramValid,
     .figures = Section::Histogram,
     .graph = true,
     .statusPanels = false,
     .subtitled = false,
     .saveTitle = "Save Histogram Data",
     .saveCaution = "Caution: This program cannot open histogram data files - remember to save time domain data.",
     .referenceKind = Kind::Histogram,
     .referenceName = "Histogram"},
    {.view = PlotDocument::DataList,
     .name = "list",
     .caption = ": Data List",
     .result = PlotDocument::DataListFilled,
     .figures = Section::DataList,
     .graph = false,
     .statusPanels = false,
     .subtitled = false,
     .saveTitle = "Save Time Domain Data",
     .saveCaution = "Caution: This program cannot open data list files - remember to save time domain data.",
     .referenceKind = std::nullopt,
     .referenceName = nullptr},
}};

} // namespace

const ViewTraits &ViewTraits::of(PlotDocument::View view)
{
    for (const ViewTraits &traits : Views)
        if (traits.view == view)
            return traits;
    return Views.front(); // the window's first view stands in for a view it never sets
}

std::span<const ViewTraits> ViewTraits::all()
{
    return Views;
}

const ViewTraits *ViewTraits::named(const QString &name)
{
    for (const ViewTraits &traits : Views)
        if (name.compare(QLatin1String(traits.name), Qt::CaseInsensitive) == 0)
            return &traits;
    return nullptr;
}

const ViewTraits &ViewTraits::ofReferenceKind(GraphFileReader::Kind kind)
{
    for (const ViewTraits &traits : Views)
        if (traits.referenceKind == kind)
            return traits;
    return Views.front();
}
