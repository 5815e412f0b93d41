// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DocumentOptions.h"
#include "FigureResults.h"
#include "LevelScale.h"
#include "Histogram.h"
#include "NoiseFigures.h"
#include "SampleBlock.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"
#include "SpectrumAverage.h"
#include "TimeStatistics.h"
#include "ToneFigures.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

// One sample block with its analysis: the block and its parameters, the view
// options, the results of each view with their valid flags, and the analysis
// pass that brings the current view's results up to date, and whether its
// data is ready. No widgets: the plot window shows a document, the
// command-line tool analyses and draws one.
//
// Flag rules: every block parameter assignment (even of the value already
// held) and the reference option clear all four flags; LoadData clears none;
// the options read by the pass (window, NB, H, marks) clear none, since the
// window decides when a change of them takes effect (invalidate()); showing
// the histogram view clears all; another data format clears the data list's
// alone.
class PlotDocument : public QObject
{
    Q_OBJECT

public:
    using View = DocumentOptions::View;
    using enum DocumentOptions::View;
    enum Result { TimeValid, FftValid, HistogramValid, DataListFilled, ResultCount };
    using FftOptions = DocumentOptions::Fft;

    explicit PlotDocument(QObject *parent = nullptr);

    const SampleBlock &block() const { return m_block; }
    // The block's parameters and samples at once; clears every flag.
    void setBlock(const SampleBlock &block);
    void setDeviceID(const QString &value);
    void setLSBSize(double value);
    void setNumBits(std::int16_t value);
    void setnumPoints(std::int32_t value);
    void setSampleFreq(double value);
    // Copies the samples; the count analysed stays numPoints.
    void LoadData(std::span<const std::int32_t> samples);
    std::int32_t numPoints() const { return m_numPoints; }
    // The samples analysed: the loaded ones, at most numPoints of them.
    std::span<const std::int32_t> samples() const;

    // False from the start of an acquisition until its block arrives (or a
    // file is loaded): the pass then computes nothing and the views show
    // nothing.
    bool DataReady() const { return m_dataReady; }
    void setDataReady(bool ready) { m_dataReady = ready; }

    // The options as one value; a change of them emits optionsChanged once,
    // an equal value nothing. The flag rules above apply to what changed.
    const DocumentOptions &options() const { return m_options; }
    void setOptions(const DocumentOptions &options);
    // One option at a time. As a property, the reference clears every flag
    // even when it is assigned the value it holds, and so does showing the
    // histogram view when it is on show.
    bool NormalizeFFT() const { return m_options.normalizeFft; }
    void setNormalizeFFT(bool value);
    const FftOptions &fftOptions() const { return m_options.fft; }
    void setFftOptions(const FftOptions &options) { setOption(&DocumentOptions::fft, options); }
    // The NB the FFT analysis uses: numBins, or the window's own with Auto.
    int signalBins() const;
    std::optional<DataFormat> dataFormat() const { return m_options.dataFormat; }
    void setDataFormat(std::optional<DataFormat> format) { setOption(&DocumentOptions::dataFormat, format); }
    // A drawing option: it clears no result.
    bool normalCurve() const { return m_options.normalCurve; }
    void setNormalCurve(bool on) { setOption(&DocumentOptions::normalCurve, on); }
    View view() const { return m_options.view; }
    void setView(View view);
    // Marks every result out of date.
    void invalidate() { m_valid.fill(false); }
    bool isValid(Result result) const { return m_valid[result]; }

    // Computes what the current view needs and is out of date, raising
    // CalcStatus as it goes; computes nothing while no data is ready.
    void runAnalysisPass();
    std::int32_t CalcMax() const { return m_calcMax; }
    std::int32_t CalcProgress() const { return m_calcProgress; }

    // FFT averaging over the last depth blocks (SpectrumAverage::MinDepth ..
    // MaxDepth), or off with 0. While it is on, every new block's spectrum
    // joins the average when the FFT is computed, and the levels, metrics and
    // marks are those of the average. Switching it or changing the depth
    // starts over.
    void setFftAveraging(int depth);
    int fftAveragingDepth() const { return m_averagingDepth; }
    // Starts the average over with the next block.
    void resetFftAverage();
    // Blocks in the average (0 while averaging is off).
    int fftAverageCount() const { return m_averagingDepth > 0 ? m_average.count() : 0; }
    // The FFT view's levels in dB, bin b at index b for b < spectrum().length():
    // the average's while averaging, else the last block's.
    std::span<const double> fftLevels() const;
    // What fftLevels() mean, for their conversion into another unit.
    LevelScale fftLevelScale() const;
    // The unit the FFT view shows: the one the options choose, or dB (full
    // scale) for a block that lacks what it needs (a sample rate, an LSB size).
    SpectrumUnit fftShownUnit() const;
    // The FFT view's levels in fftShownUnit(), bin b at index b for b < n.
    std::vector<double> fftShownLevels() const;

    // Results as the last computation left them.
    const TimeStatistics &statistics() const { return m_stats; }
    // Computed with the time statistics and with the histogram.
    const NoiseFigures &noiseFigures() const { return m_noise; }
    // Computed with the FFT.
    const ToneFigures &toneFigures() const { return m_tone; }
    // The FFT view's results describe noise alone: no tone was found.
    bool fftNoiseOnly() const { return m_valid[FftValid] && !m_tone.toneFound; }
    // Whether the block holds a tone by the FFT view's options, as the time
    // domain's last computation found: its noise figures then include the signal.
    bool toneInTimeFigures() const { return m_toneInTimeFigures; }
    const SpectralMetrics &metrics() const { return m_metrics; }
    const Spectrum &spectrum() const { return m_spectrum; }
    const LobeTables &lobeTables() const { return m_lobes; }
    const ::Histogram &histogram() const { return m_histogram; }
    const QStringList &dataListLines() const { return m_dataList; }
    // The results as the figure catalogue reads them.
    FigureResults figureResults() const;
    // The FFT view's marks for the kept tables and the options as they are;
    // without a tone no main-lobe or harmonic marks.
    std::vector<FftMarks::Mark> fftMarks() const;

    // The four status panel texts of the current view (empty where the view
    // shows none), numbers with the screen's decimal separator; "-" for the
    // FFT metrics of a spectrum without a tone.
    QStringList statusTexts() const;
    // The data file of what the current view shows, created at the given time.
    QByteArray dataFileContent(const QDateTime &created) const;

signals:
    void CalcStatus();
    void optionsChanged();
    // A problem the user must acknowledge, with its fixed text.
    void userMessage(const QString &text);

private:
    template <typename Value>
    void setOption(Value DocumentOptions::*option, const Value &value)
    {
        DocumentOptions options = m_options;
        options.*option = value;
        setOptions(options);
    }
    void raiseProgress(std::int32_t progress);
    // The current view's results, whatever its flag says.
    void computeView();
    void computeFft();
    // Looks for a tone as the FFT view would, leaving its results and its
    // average alone.
    bool probeTone();
    QStringList timeStatusTexts() const;

    SampleBlock m_block; // its samples may outnumber numPoints
    std::int32_t m_numPoints = 0;
    bool m_dataReady = true;
    DocumentOptions m_options;

    TimeStatistics m_stats;
    NoiseFigures m_noise;
    ToneFigures m_tone;
    SpectralMetrics m_metrics{.snr = 0, .sinad = 0, .thd = 0, .sfdr = 0};
    // Working tables, allocated once with the document.
    Spectrum m_spectrum;
    SpectrumAverage m_average;
    int m_averagingDepth = 0;
    // Counts the blocks handed over, so a recomputation of the same block
    // (another NB, say) does not add it to the average twice.
    std::uint64_t m_blockSerial = 0;
    std::uint64_t m_averagedSerial = 0;
    LobeTables m_lobes;
    // The lobes of the window's own NB, whose other bins give the noise density.
    LobeTables m_noiseLobes;
    // The spectrum and lobes of probeTone().
    Spectrum m_toneProbe;
    LobeTables m_toneProbeLobes;
    bool m_toneInTimeFigures = false;
    ::Histogram m_histogram; // the class, not the view
    QStringList m_dataList;
    std::int32_t m_calcMax = 0;
    std::int32_t m_calcProgress = 0;
    std::array<bool, ResultCount> m_valid{};
};
