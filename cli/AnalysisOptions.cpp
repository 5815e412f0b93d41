// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalysisOptions.h"

#include "FftWindow.h"
#include "OptionValues.h"
#include "ViewTraits.h"

#include <array>
#include <utility>

namespace {

// Names by window option index; "hann" is accepted for "hanning" too.
constexpr std::array<const char *, FftWindows::Count> WindowNames{
    "rectangular", "hamming", "hanning", "blackman", "blackman-harris", "continuous-5th-derivative", "triangular",
    "blackman-harris-7"};

constexpr std::array<std::pair<const char *, DataFormat>, 4> FormatNames{{
    {"integer", DataFormat::Integer},
    {"hex", DataFormat::Hexadecimal},
    {"percent", DataFormat::PercentOfFullScale},
    {"lsb", DataFormat::ScaledByLsb}}};

template<typename Value, std::size_t N>
bool lookUp(const std::array<std::pair<const char *, Value>, N> &names, const QString &text, Value &value)
{
    for (const auto &[name, candidate] : names)
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            value = candidate;
            return true;
        }
    return false;
}

bool parseWindow(const QString &text, FftWindow &window)
{
    bool isNumber = false;
    const int index = text.toInt(&isNumber);
    if (isNumber && text.size() == 1)
        return index >= 0 && index < FftWindows::Count ? (window = FftWindows::fromIndex(index), true) : false;
    const QString name = text.compare(QLatin1String("hann"), Qt::CaseInsensitive) == 0 ? QStringLiteral("hanning") : text;
    for (int i = 0; i < FftWindows::Count; ++i)
        if (name.compare(QLatin1String(WindowNames[static_cast<std::size_t>(i)]), Qt::CaseInsensitive) == 0) {
            window = FftWindows::fromIndex(i);
            return true;
        }
    return false;
}

QString joinNames(const char *const *names, std::size_t count)
{
    QStringList list;
    for (std::size_t i = 0; i < count; ++i)
        list << QLatin1String(names[i]);
    return list.join(QLatin1Char('|'));
}

} // namespace

void AnalysisOptions::printNotes(QTextStream &err, const char *command) const
{
    for (const QString &note : notes)
        err << "kz7305evm-cli " << command << ": " << note << '\n';
}

QString AnalysisOptions::viewName(View view)
{
    return QLatin1String(ViewTraits::of(view).name);
}

bool OptionArgument::takeValue(QString &value)
{
    if (m_hasInlineValue) {
        value = m_inlineValue;
        return true;
    }
    if (m_index + 1 >= m_arguments.size())
        return false;
    value = m_arguments[++m_index];
    return true;
}

std::optional<QString> AnalysisOptions::parse(const QStringList &arguments, const OwnOption &own)
{
    using MetricOptions::NumBinsRange, MetricOptions::NumHarmonicsRange;
    DocumentOptions::Fft &fft = document.fft;
    bool binsGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        OptionArgument argument(arguments, i);
        const QString &name = argument.name();
        QString value;
        const auto needsValue = [&]() { return QStringLiteral("option %1 needs a value").arg(name); };

        if (std::optional<QString> taken = own(argument)) {
            if (!taken->isEmpty())
                return taken;
        } else if (name == QLatin1String("--normalize")) {
            if (argument.hasInlineValue())
                return QStringLiteral("option %1 takes no value").arg(name);
            document.normalizeFft = true;
        } else if (name == QLatin1String("--view")) {
            if (!argument.takeValue(value))
                return needsValue();
            const ViewTraits *named = ViewTraits::named(value);
            if (!named) {
                QStringList names;
                for (const ViewTraits &traits : ViewTraits::all())
                    names << QLatin1String(traits.name);
                return QStringLiteral("unknown view \"%1\" (%2)").arg(value, names.join(QLatin1Char('|')));
            }
            view = named->view;
        } else if (name == QLatin1String("--window")) {
            if (!argument.takeValue(value))
                return needsValue();
            if (!parseWindow(value, fft.window))
                return QStringLiteral("unknown window \"%1\" (0..%2 or %3, hann)")
                    .arg(value, QString::number(FftWindows::Count - 1), joinNames(WindowNames.data(), WindowNames.size()));
        } else if (name == QLatin1String("--bins")) {
            if (!argument.takeValue(value))
                return needsValue();
            binsGiven = true;
            fft.autoBins = value.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0;
            if (!fft.autoBins) {
                const auto bins = OptionValues::wholeNumber(value, NumBinsRange.low, NumBinsRange.high);
                if (!bins)
                    return OptionValues::refusal(
                        name, QStringLiteral("an odd number from %1 to %2, or auto").arg(NumBinsRange.low).arg(NumBinsRange.high),
                        value);
                fft.numBins = MetricOptions::oddNumBins(*bins);
                if (fft.numBins != *bins)
                    notes << QStringLiteral("--bins %1 is even: %2 bins are used").arg(*bins).arg(fft.numBins);
            }
        } else if (name == QLatin1String("--harmonics")) {
            if (!argument.takeValue(value))
                return needsValue();
            const auto harmonics = OptionValues::wholeNumber(value, NumHarmonicsRange.low, NumHarmonicsRange.high);
            if (!harmonics)
                return OptionValues::refusal(
                    name, QStringLiteral("a number from %1 to %2").arg(NumHarmonicsRange.low).arg(NumHarmonicsRange.high),
                    value);
            fft.numHarmonics = *harmonics;
        } else if (name == QLatin1String("--format")) {
            if (!argument.takeValue(value))
                return needsValue();
            DataFormat format{};
            if (!lookUp(FormatNames, value, format))
                return QStringLiteral("unknown format \"%1\" (integer|hex|percent|lsb)").arg(value);
            document.dataFormat = format;
        } else if (name.startsWith(QLatin1Char('-')) && name.size() > 1) {
            return QStringLiteral("unknown option %1").arg(name);
        } else {
            files << name;
        }
        i = argument.index();
    }
    if (files.isEmpty())
        return QStringLiteral("no file given");
    // The seven-term window's lobe is wider than any numeric default suits.
    if (!binsGiven && fft.window == FftWindow::BlackmanHarris7)
        fft.autoBins = true;
    return std::nullopt;
}
