// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalysisOptions.h"

#include "FftWindow.h"
#include "MetricOptions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using View = AnalysisOptions::View;

constexpr std::array<std::pair<const char *, View>, 4> ViewNames{{
    {"time", View::Time}, {"fft", View::Fft}, {"histogram", View::Histogram}, {"list", View::List}}};

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

bool parseWindow(const QString &text, int &window)
{
    bool isNumber = false;
    const int index = text.toInt(&isNumber);
    if (isNumber && text.size() == 1)
        return index >= 0 && index < FftWindows::Count ? (window = index, true) : false;
    const QString name = text.compare(QLatin1String("hann"), Qt::CaseInsensitive) == 0 ? QStringLiteral("hanning") : text;
    for (int i = 0; i < FftWindows::Count; ++i)
        if (name.compare(QLatin1String(WindowNames[static_cast<std::size_t>(i)]), Qt::CaseInsensitive) == 0) {
            window = i;
            return true;
        }
    return false;
}

// The option fields take digits only; what is typed is then checked into range.
bool isDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}

QString joinNames(const char *const *names, std::size_t count)
{
    QStringList list;
    for (std::size_t i = 0; i < count; ++i)
        list << QLatin1String(names[i]);
    return list.join(QLatin1Char('|'));
}

} // namespace

QString AnalysisOptions::viewName(View view)
{
    for (const auto &[name, candidate] : ViewNames)
        if (candidate == view)
            return QLatin1String(name);
    return QString();
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
            normalize = true;
        } else if (name == QLatin1String("--view")) {
            if (!argument.takeValue(value))
                return needsValue();
            if (!lookUp(ViewNames, value, view))
                return QStringLiteral("unknown view \"%1\" (time|fft|histogram|list)").arg(value);
        } else if (name == QLatin1String("--window")) {
            if (!argument.takeValue(value))
                return needsValue();
            if (!parseWindow(value, window))
                return QStringLiteral("unknown window \"%1\" (0..%2 or %3, hann)")
                    .arg(value, QString::number(FftWindows::Count - 1), joinNames(WindowNames.data(), WindowNames.size()));
        } else if (name == QLatin1String("--bins")) {
            if (!argument.takeValue(value))
                return needsValue();
            binsGiven = true;
            autoBins = value.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0;
            if (!autoBins && !isDigits(value))
                return QStringLiteral("--bins takes an odd number from 1 to 51 or auto, not \"%1\"").arg(value);
            if (!autoBins)
                numBins = MetricOptions::numBins(value);
        } else if (name == QLatin1String("--harmonics")) {
            if (!argument.takeValue(value))
                return needsValue();
            if (!isDigits(value))
                return QStringLiteral("--harmonics takes a number from 2 to 20, not \"%1\"").arg(value);
            numHarmonics = MetricOptions::numHarmonics(value);
        } else if (name == QLatin1String("--format")) {
            if (!argument.takeValue(value))
                return needsValue();
            if (!lookUp(FormatNames, value, format))
                return QStringLiteral("unknown format \"%1\" (integer|hex|percent|lsb)").arg(value);
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
    if (!binsGiven && FftWindows::fromIndex(window) == FftWindow::BlackmanHarris7)
        autoBins = true;
    return std::nullopt;
}
