// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileHeader.h"
#include "DataFileWriter.h"
#include "GraphFileReader.h"
#include "LevelScale.h"
#include "PlotDocument.h"
#include "TimeStatistics.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A graph held for comparison with the blocks that follow: the data one graph
// view drew (time-domain codes, FFT levels or histogram counts) with the
// settings it was made with. It is a copy, kept apart from the document, so no
// figure, average or mark of the analysis ever reads it.
class ViewReference
{
public:
    using View = PlotDocument::View;

    // The document's current view as its last analysis left it; nothing in the
    // data list view or before the view's results are computed.
    static std::optional<ViewReference> hold(const PlotDocument &document, const QDateTime &heldAt);
    // A file the graph reader loaded; fileName names it in the settings.
    static ViewReference fromFile(const GraphFileReader::Result &file, const QString &fileName);

    View view() const { return m_view; }
    // Device, scale, sample count and rate of the block it came from.
    const DataFileHeader &header() const { return m_header; }
    // Time domain: the codes.
    std::span<const std::int32_t> samples() const { return m_samples; }
    // FFT: the n levels in dB; histogram: the counts of bins 0 up.
    std::span<const double> values() const { return m_values; }
    // FFT: the levels in unit; nothing when they cannot be converted into it
    // (a file keeps no window, so only a held reference converts).
    std::optional<std::vector<double>> levelsIn(SpectrumUnit unit) const;
    double binSize() const { return m_binSize; }
    double firstBinCode() const { return m_firstBinCode; }
    // What it was made with, one item a line, for a tooltip.
    const QString &settings() const { return m_settings; }

    // A data file of its view's kind, as the program writes that view.
    QByteArray dataFileContent(const QDateTime &created) const;

private:
    explicit ViewReference(View view) : m_view(view) {}

    View m_view;
    DataFileHeader m_header;
    std::vector<std::int32_t> m_samples;
    std::vector<double> m_values;
    TimeStatistics m_stats;
    DataFileWriter::SpectralFigures m_figures;
    // What a held FFT reference's levels mean.
    std::optional<LevelScale> m_levelScale;
    double m_binSize = 1;
    double m_firstBinCode = 0;
    QString m_settings;
};
