// SPDX-License-Identifier: GPL-3.0-or-later
#include "FigureCatalogue.h"

#include "CoherentFrequency.h"
#include "NoiseTexts.h"
#include "NumberFormat.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace FigureCatalogue {

namespace {

using enum Section;
using Style = Format::Style;

constexpr Format Codes{Style::Significant, 0, "codes"};
constexpr Format Microvolts{Style::Microvolts};
constexpr Format Bits{Style::Bits};
constexpr Format Decibels{Style::Fixed, 2, "dB"};
constexpr Format Dbfs{Style::Fixed, 2, "dBFS"};
constexpr Format Metric{Style::Pattern, 4};
constexpr Format General{Style::General};
constexpr Format Grouped{Style::Grouped, 2, "Hz"};

double binSpacing(const FigureResults &r)
{
    return r.fftLength > 0 ? r.sampleFreq / r.fftLength : 0.0;
}

// Ranks put the time domain's file lines and printout, and the FFT column,
// in the order their readers know.
const std::array Catalogue{
    // The time domain's statistics.
    Entry{.key = "std_deviation_ppm", .unit = "ppm", .section = Statistics, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.statistics.stdDeviation}; },
          .text = "Std Dev (ppm)", .printout = {"StdDev:", 3}, .printFormat = Metric,
          .file = {"Standard Deviation (ppm):,"}},
    Entry{.key = "mean", .unit = "codes", .section = Statistics, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.statistics.mean}; },
          .text = "Mean", .printout = {"Mean:", 2}, .printFormat = Metric, .file = {"Mean:,"}},
    Entry{.key = "maximum", .unit = "codes", .section = Statistics, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.statistics.maximum}; },
          .text = "Maximum", .printout = {"Max:", 1}, .printFormat = General, .file = {"Maximum:,", 1}},
    Entry{.key = "minimum", .unit = "codes", .section = Statistics, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.statistics.minimum}; },
          .text = "Minimum", .printout = {"Min:"}, .printFormat = General, .file = {"Minimum:,"}},

    // The time domain's noise and resolution.
    Entry{.key = "rms_noise_codes", .unit = "codes", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.rmsNoiseCodes); },
          .text = "RMS Noise (codes)", .screen = {"RMS noise"}, .screenFormat = Codes},
    Entry{.key = "rms_noise_uv", .unit = "uV", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.rmsNoiseUv); },
          .text = "RMS Noise (uV)", .screen = {"RMS noise"}, .screenFormat = Microvolts,
          .printout = {"RMS noise: "}, .printFormat = Microvolts},
    Entry{.key = "pp_noise_codes", .unit = "codes", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.ppNoiseCodes); },
          .text = "Peak-to-Peak Noise (codes)", .screen = {"P-P noise"}, .screenFormat = Codes},
    Entry{.key = "pp_noise_uv", .unit = "uV", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.ppNoiseUv); },
          .text = "Peak-to-Peak Noise (uV)", .screen = {"P-P noise"}, .screenFormat = Microvolts,
          .printout = {"P-P noise: "}, .printFormat = Microvolts},
    Entry{.key = "offset_uv", .unit = "uV", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.offsetUv); },
          .text = "Offset (uV)", .screen = {"Offset"}, .screenFormat = Microvolts,
          .printout = {"Offset: "}, .printFormat = Microvolts},
    Entry{.key = "effective_resolution_bits", .unit = "bits", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.effectiveResolutionBits); },
          .text = "Effective Resolution (bits)", .screen = {"Effective res."}, .screenFormat = Bits,
          .printout = {"Effective resolution: "}, .printFormat = Bits},
    Entry{.key = "noise_free_resolution_bits", .unit = "bits", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.noiseFreeResolutionBits); },
          .text = "Noise-Free Resolution (bits)", .screen = {"Noise-free res."}, .screenFormat = Bits,
          .printout = {"Noise-free resolution: "}, .printFormat = Bits},
    Entry{.key = "noise_free_resolution_measured_bits", .unit = "bits", .section = Noise, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.noise.noiseFreeResolutionMeasuredBits); },
          .text = "Noise-Free Resolution, Measured (bits)", .screen = {"Noise-free, p-p"}, .screenFormat = Bits},

    // The FFT's metrics.
    Entry{.key = "fft_length", .unit = "", .section = Spectrum, .kind = Kind::Count,
          .read = [](const FigureResults &r) { return Value{static_cast<double>(r.fftLength)}; },
          .text = "FFT Length"},
    Entry{.key = "signal_bins", .unit = "", .section = Spectrum, .kind = Kind::Count,
          .read = [](const FigureResults &r) { return Value{static_cast<double>(r.signalBins)}; },
          .text = "Signal Bins", .screen = {"Signal bins"}, .screenFormat = {Style::Whole}},
    Entry{.key = "snr", .unit = "dB", .section = Spectrum, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::metric(r.metrics.snr); },
          .text = "SNR", .screenFormat = Metric, .status = {"SNR: "}, .printout = {"SNR:"}, .printFormat = Metric,
          .file = {"SNR:,"}, .needsTone = true},
    Entry{.key = "sinad", .unit = "dB", .section = Spectrum, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::metric(r.metrics.sinad); },
          .text = "SINAD", .screenFormat = Metric, .status = {"SINAD: "}, .printout = {"SINAD:"},
          .printFormat = Metric, .file = {"SINAD:,"}, .needsTone = true},
    Entry{.key = "thd", .unit = "dB", .section = Spectrum, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::metric(r.metrics.thd); },
          .text = "THD", .screenFormat = Metric, .status = {"THD: "}, .printout = {"THD:"}, .printFormat = Metric,
          .file = {"THD:,"}, .needsTone = true},
    Entry{.key = "sfdr", .unit = "dB", .section = Spectrum, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::metric(r.metrics.sfdr); },
          .text = "SFDR", .screenFormat = Metric, .status = {"SFDR: "}, .printout = {"SFDR:"},
          .printFormat = Metric, .file = {"SFDR:,"}, .needsTone = true},
    Entry{.key = "fundamental_bin", .unit = "", .section = Spectrum, .kind = Kind::Count,
          .read = [](const FigureResults &r) {
              return Value{static_cast<double>(r.metrics.fundamental), r.metrics.fundamentalFound};
          },
          .text = "Fundamental Bin"},
    Entry{.key = "fundamental_frequency", .unit = "Hz", .section = Spectrum, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) {
              return Value{r.metrics.fundamental * binSpacing(r), r.metrics.fundamentalFound};
          },
          .text = "Fundamental Frequency (Hz)"},

    // The FFT's tone, sine fit and noise density.
    Entry{.key = "enob", .unit = "bits", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.enob); },
          .text = "ENOB (bits)", .screen = {"ENOB", -1}, .screenFormat = Bits, .needsTone = true},
    Entry{.key = "fundamental_dbfs", .unit = "dBFS", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.fundamentalDbfs); },
          .text = "Fundamental (dBFS)", .screen = {"Fundamental", -1}, .screenFormat = Dbfs, .needsTone = true},
    Entry{.key = "tone_found", .unit = "", .section = Tone, .kind = Kind::YesNo,
          .read = [](const FigureResults &r) { return Value{r.tone.toneFound ? 1.0 : 0.0}; },
          .text = "Tone Found"},
    Entry{.key = "sinefit_frequency_hz", .unit = "Hz", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.sineFit.frequencyHz); },
          .text = "Sine-Fit Frequency (Hz)", .screen = {"Sine-fit tone"}, .screenFormat = {Style::Fixed, 4, "Hz"}},
    Entry{.key = "sinefit_amplitude_dbfs", .unit = "dBFS", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.sineFit.amplitudeDbfs); },
          .text = "Sine-Fit Amplitude (dBFS)", .screen = {"Sine-fit level"}, .screenFormat = Dbfs},
    Entry{.key = "sinefit_sinad_db", .unit = "dB", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.sineFit.sinadDb); },
          .text = "Sine-Fit SINAD (dB)", .screen = {"Sine-fit SINAD"}, .screenFormat = Decibels},
    Entry{.key = "sinefit_enob", .unit = "bits", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.sineFit.enob); },
          .text = "Sine-Fit ENOB (bits)", .screen = {"Sine-fit ENOB"}, .screenFormat = Bits},
    Entry{.key = "sinefit_residual_rms_uv", .unit = "uV", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.sineFit.residualRmsUv); },
          .text = "Sine-Fit Residual RMS (uV)", .screen = {"Residual RMS"}, .screenFormat = Microvolts},
    Entry{.key = "noise_density_dbfs_per_hz", .unit = "dBFS/Hz", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.noiseDensity.dbfsPerHz); },
          .text = "Noise Density (dBFS/Hz)", .screen = {"Noise density"},
          .screenFormat = {Style::Fixed, 2, "dBFS/Hz"}},
    Entry{.key = "noise_density_nv_per_rthz", .unit = "nV/rtHz", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value::of(r.tone.noiseDensity.nvPerRtHz); },
          .text = "Noise Density (nV/rtHz)", .screen = {"Noise density"},
          .screenFormat = {Style::Significant, 0, "nV/√Hz"}},
    Entry{.key = "limited_by", .unit = "", .section = Tone, .kind = Kind::Name,
          .read = [](const FigureResults &r) {
              const LeakageAdvice::Limit limit = r.tone.leakage.limitedBy;
              return Value{static_cast<double>(limit), limit != LeakageAdvice::Limit::None};
          },
          .name = [](const FigureResults &r) { return LeakageAdvice::limitName(r.tone.leakage.limitedBy); },
          .text = "Limited By"},
    // The frequency a generator would be set to for coherent sampling.
    Entry{.key = "coherent_frequency_hz", .unit = "Hz", .section = Tone, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) {
              const std::optional<double> fitted = r.tone.sineFit.frequencyHz;
              const auto coherent = fitted ? CoherentFrequency::nearest(*fitted, r.sampleFreq, r.fftLength) : std::nullopt;
              return coherent ? Value{coherent->frequencyHz} : Value::of(std::nullopt);
          },
          .text = "Coherent Frequency (Hz)", .screen = {"Coherent"}, .screenFormat = Grouped},

    // The histogram's bins.
    Entry{.key = "bin_width", .unit = "codes", .section = Histogram, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.histogramBinWidth}; },
          .text = "Bin Width", .file = {"Bin Size:,"}},
    Entry{.key = "minimum", .unit = "codes", .section = Histogram, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.histogramMinimum}; },
          .text = "Minimum", .file = {"First Bin Code:,"}},
    Entry{.key = "maximum", .unit = "codes", .section = Histogram, .kind = Kind::Measurement,
          .read = [](const FigureResults &r) { return Value{r.histogramMaximum}; },
          .text = "Maximum"},

    Entry{.key = "lines", .unit = "", .section = DataList, .kind = Kind::Count,
          .read = [](const FigureResults &r) { return Value{static_cast<double>(r.dataListLines)}; },
          .text = "Lines"},
    Entry{.key = "averaged_blocks", .unit = "", .section = Average, .kind = Kind::Count,
          .read = [](const FigureResults &r) { return Value{static_cast<double>(r.averagedBlocks)}; },
          .text = "Averaged Blocks"},
};

QString formatted(const Format &format, double value, QChar separator)
{
    const QString unit = *format.unit ? QLatin1Char(' ') + QString::fromUtf8(format.unit) : QString();
    switch (format.style) {
    case Style::Fixed:
        return QString::number(value, 'f', format.decimals).replace(QLatin1Char('.'), separator) + unit;
    case Style::Significant:
        return NoiseTexts::significant3(value, separator) + unit;
    case Style::Microvolts:
        return NoiseTexts::microvolts(value, separator);
    case Style::Bits:
        return NoiseTexts::bits(value, separator);
    case Style::Whole:
        return QString::number(static_cast<qint64>(value));
    case Style::Pattern:
        return NumberFormat::pattern(value, 0, format.decimals, separator);
    case Style::Grouped:
        return NumberFormat::grouped(value, format.decimals, separator) + unit;
    case Style::General:
        break;
    }
    return NumberFormat::general(value, separator);
}

// The figure as the screen or a printout shows it.
QString shownText(const Entry &entry, const Format &format, const FigureResults &results, QChar separator)
{
    const Value value = entry.read(results);
    if (!value.computed || (entry.needsTone && results.noiseOnly))
        return QStringLiteral("-");
    if (entry.name)
        return entry.name(results);
    return formatted(format, value.number, separator);
}

} // namespace

Value Value::of(std::optional<double> value)
{
    return {value.value_or(std::numeric_limits<double>::quiet_NaN()), value.has_value()};
}

Value Value::metric(double value)
{
    return {value, value != SpectralMetrics::Uncomputed};
}

std::span<const Entry> entries()
{
    return Catalogue;
}

const Entry *find(Section section, const char *key)
{
    for (const Entry &entry : Catalogue)
        if (entry.section == section && std::strcmp(entry.key, key) == 0)
            return &entry;
    return nullptr;
}

QList<const Entry *> shownAt(Place Entry::*place, Sections sections)
{
    QList<const Entry *> shown;
    for (const Entry &entry : Catalogue)
        if (sections.testFlag(entry.section) && (entry.*place).label)
            shown.append(&entry);
    std::stable_sort(shown.begin(), shown.end(),
                     [place](const Entry *a, const Entry *b) { return (a->*place).rank < (b->*place).rank; });
    return shown;
}

QList<Row> screenRows(Sections sections, const FigureResults &results, QChar separator)
{
    QList<Row> rows;
    for (const Entry *entry : shownAt(&Entry::screen, sections))
        rows.append({QString::fromUtf8(entry->screen.label), shownText(*entry, entry->screenFormat, results, separator)});
    return rows;
}

QStringList statusTexts(Sections sections, const FigureResults &results, QChar separator, int count)
{
    QStringList texts;
    for (const Entry *entry : shownAt(&Entry::status, sections))
        texts.append(QString::fromUtf8(entry->status.label) + shownText(*entry, entry->screenFormat, results, separator));
    while (texts.size() < count)
        texts.append(QString());
    return texts;
}

QString printLine(Sections sections, const FigureResults &results, QChar separator)
{
    QStringList items;
    for (const Entry *entry : shownAt(&Entry::printout, sections))
        items.append(QString::fromUtf8(entry->printout.label) + shownText(*entry, entry->printFormat, results, separator));
    return items.join(QStringLiteral("     "));
}

QList<std::pair<QString, double>> fileLines(Sections sections, const FigureResults &results)
{
    QList<std::pair<QString, double>> lines;
    for (const Entry *entry : shownAt(&Entry::file, sections))
        lines.append({QString::fromLatin1(entry->file.label), entry->read(results).number});
    return lines;
}

} // namespace FigureCatalogue
