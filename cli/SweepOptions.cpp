// SPDX-License-Identifier: GPL-3.0-or-later
#include "SweepOptions.h"

#include "AnalysisOptions.h"
#include "OptionValues.h"
#include "ReportFormat.h"

namespace {

// A comma-separated list of whole numbers low..high, or nothing.
std::optional<QList<int>> wholeNumbers(const QString &text, int low, int high)
{
    QList<int> numbers;
    for (const QString &item : text.split(QLatin1Char(','))) {
        const std::optional<int> number = OptionValues::wholeNumber(item.trimmed(), low, high);
        if (!number)
            return std::nullopt;
        numbers.append(*number);
    }
    return numbers;
}

std::optional<QList<double>> positiveNumbers(const QString &text)
{
    QList<double> numbers;
    for (const QString &item : text.split(QLatin1Char(','))) {
        const std::optional<double> number = OptionValues::number(item.trimmed());
        if (!number || *number <= 0)
            return std::nullopt;
        numbers.append(*number);
    }
    return numbers;
}

} // namespace

std::optional<QString> SweepOptions::takeSamples(const BoardLimits &limits)
{
    const auto count = OptionValues::wholeNumber(samplesText, limits.minSamples, limits.maxSamples);
    if (!count)
        return OptionValues::refusal(QStringLiteral("--samples"),
                                     QStringLiteral("a number from %1 to %2").arg(limits.minSamples).arg(limits.maxSamples),
                                     samplesText);
    plan.samples = *count;
    return std::nullopt;
}

std::variant<SweepOptions, QString> SweepOptions::parse(const QStringList &arguments)
{
    SweepOptions options;
    RunPlan &plan = options.plan;
    ReportFormat format;
    const auto own = [&](OptionArgument &argument) -> std::optional<QString> {
        const QString &name = argument.name();
        if (std::optional<QString> taken = format.take(argument)) {
            options.table = format.table;
            return taken;
        }
        // The FFT options are the analysis's; the rest are the sweep's own.
        static const QStringList analysisOptions{QStringLiteral("--window"), QStringLiteral("--bins"),
                                                 QStringLiteral("--harmonics"), QStringLiteral("--normalize")};
        if (analysisOptions.contains(name))
            return std::nullopt;
        if (!name.startsWith(QLatin1Char('-')) || name == QLatin1String("-"))
            return std::nullopt; // a plain argument: refused below
        QString value;
        if (!argument.takeValue(value))
            return QStringLiteral("option %1 needs a value").arg(name);
        if (name == QLatin1String("--port")) {
            options.port = value;
        } else if (name == QLatin1String("--channels")) {
            const auto channels = wholeNumbers(value, BoardSetup::MinChannel, BoardSetup::MaxChannel);
            if (!channels)
                return OptionValues::refusal(name, QStringLiteral("inputs 1 to 4, comma-separated"), value);
            plan.channels = *channels;
        } else if (name == QLatin1String("--averaging")) {
            const auto averaging = wholeNumbers(value, 0, BoardSetup::MaxAveraging);
            if (!averaging)
                return OptionValues::refusal(name, QStringLiteral("settings 0 to 15, comma-separated"), value);
            plan.averaging = *averaging;
        } else if (name == QLatin1String("--rates")) {
            const auto rates = positiveNumbers(value);
            if (!rates)
                return OptionValues::refusal(name, QStringLiteral("rates in hertz above 0, comma-separated"), value);
            plan.rates = *rates;
        } else if (name == QLatin1String("--vref")) {
            const auto vref = OptionValues::number(value);
            if (!vref || *vref < BoardSetup::MinVref || *vref > BoardSetup::MaxVref)
                return OptionValues::refusal(name, QStringLiteral("0.5 to 5.0 volts"), value);
            plan.vref = *vref;
        } else if (name == QLatin1String("--samples")) {
            options.samplesText = value;
        } else if (name == QLatin1String("--blocks")) {
            const auto blocks = OptionValues::wholeNumber(value, 1, RunPlan::MaxBlocks);
            if (!blocks)
                return OptionValues::refusal(name, QStringLiteral("1 to %1 blocks").arg(RunPlan::MaxBlocks), value);
            plan.blocks = *blocks;
        } else if (name == QLatin1String("--settle-blocks")) {
            const auto settle = OptionValues::wholeNumber(value, 0, RunPlan::MaxSettleBlocks);
            if (!settle)
                return OptionValues::refusal(name, QStringLiteral("0 to %1 blocks").arg(RunPlan::MaxSettleBlocks), value);
            plan.settleBlocks = *settle;
        } else if (name == QLatin1String("--analyze")) {
            plan.noise = plan.tone = false;
            for (const QString &analysis : value.split(QLatin1Char(','))) {
                if (analysis == QLatin1String("noise"))
                    plan.noise = true;
                else if (analysis == QLatin1String("fft"))
                    plan.tone = true;
                else
                    return OptionValues::refusal(name, QStringLiteral("noise, fft or noise,fft"), value);
            }
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            options.outputFolder = value;
        } else {
            return QStringLiteral("unknown option %1").arg(name);
        }
        return QString();
    };
    // The seven-term window unless --window names another; "-" stands for
    // the files the analysis options expect.
    AnalysisOptions analysis;
    const QStringList withDefaults = QStringList{QStringLiteral("-"), QStringLiteral("--window"),
                                                 QStringLiteral("blackman-harris-7")} + arguments;
    if (std::optional<QString> problem = analysis.parse(withDefaults, own))
        return *problem;
    if (analysis.files.size() != 1)
        return QStringLiteral("unexpected argument \"%1\"").arg(analysis.files.last());
    if (options.port.isEmpty())
        return QStringLiteral("no port given (--port DEVICE or COMn)");
    plan.fft = analysis.document.fft;
    plan.normalizeFft = analysis.document.normalizeFft;
    options.notes = analysis.notes;
    return options;
}
