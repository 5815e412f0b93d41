// SPDX-License-Identifier: GPL-3.0-or-later
#include "AcquireOptions.h"

#include "OptionValues.h"

#include <QFileInfo>

using OptionValues::number;
using OptionValues::wholeNumber;

QString AcquireOptions::outputPath(int block) const
{
    if (!severalBlocks())
        return output;
    const QFileInfo info(output);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString base = info.suffix().isEmpty() ? output : output.left(output.size() - suffix.size());
    return QStringLiteral("%1-%2%3").arg(base).arg(block, 4, 10, QLatin1Char('0')).arg(suffix);
}

std::optional<QString> AcquireOptions::takeSamples(const BoardLimits &limits)
{
    const auto count = wholeNumber(samplesText, limits.minSamples, limits.maxSamples);
    if (!count)
        return QStringLiteral("--samples takes a number from %1 to %2, not \"%3\"")
            .arg(limits.minSamples)
            .arg(limits.maxSamples)
            .arg(samplesText);
    samples = *count;
    return std::nullopt;
}

std::variant<AcquireOptions, QString> AcquireOptions::parse(const QStringList &arguments)
{
    AcquireOptions options;
    QStringList analysisArguments{QStringLiteral("-"), QStringLiteral("--view"), QStringLiteral("fft")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool inlineValue = false;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            value = name.section(QLatin1Char('='), 1);
            name = name.section(QLatin1Char('='), 0, 0);
            inlineValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (inlineValue)
                return true;
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };
        const auto flag = [&](bool &target) -> std::optional<QString> {
            if (inlineValue)
                return QStringLiteral("option %1 takes no value").arg(name);
            target = true;
            return std::nullopt;
        };

        if (name == QLatin1String("--continuous-until-interrupted")) {
            if (auto problem = flag(options.continuous))
                return *problem;
            continue;
        }
        if (name == QLatin1String("--normalize")) {
            analysisArguments << name;
            continue;
        }
        if (!name.startsWith(QLatin1Char('-')))
            return QStringLiteral("unexpected argument \"%1\"").arg(name);
        if (!takeValue())
            return QStringLiteral("option %1 needs a value").arg(name);

        if (name == QLatin1String("--port")) {
            options.port = value;
        } else if (name == QLatin1String("--samples")) {
            options.samplesText = value;
        } else if (name == QLatin1String("--rate")) {
            const auto rate = number(value);
            if (!rate || *rate <= 0)
                return QStringLiteral("--rate takes a sample rate in hertz above 0, not \"%1\"").arg(value);
            options.rate = rate;
        } else if (name == QLatin1String("--channel")) {
            const auto channel = wholeNumber(value, BoardSetup::MinChannel, BoardSetup::MaxChannel);
            if (!channel)
                return QStringLiteral("--channel takes 1, 2, 3 or 4, not \"%1\"").arg(value);
            options.channel = *channel;
        } else if (name == QLatin1String("--averaging")) {
            const auto averaging = wholeNumber(value, 0, BoardSetup::MaxAveraging);
            if (!averaging)
                return QStringLiteral("--averaging takes 0 to 15 (2^n conversions per sample), not \"%1\"").arg(value);
            options.averaging = *averaging;
        } else if (name == QLatin1String("--vref")) {
            const auto vref = number(value);
            if (!vref || *vref < MinVref || *vref > MaxVref)
                return QStringLiteral("--vref takes 0.5 to 5.0 volts, not \"%1\"").arg(value);
            options.vref = *vref;
        } else if (name == QLatin1String("--count")) {
            const auto count = wholeNumber(value, 1, 9999);
            if (!count)
                return QStringLiteral("--count takes 1 to 9999 blocks, not \"%1\"").arg(value);
            options.count = *count;
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            options.output = value;
        } else if (name == QLatin1String("--analyze")) {
            // Given once per analysis or as a list: "--analyze noise,fft".
            for (const QString &analysis : value.split(QLatin1Char(','))) {
                if (analysis == QLatin1String("fft"))
                    options.analyzeFft = true;
                else if (analysis == QLatin1String("noise"))
                    options.analyzeNoise = true;
                else
                    return QStringLiteral("--analyze takes fft or noise, not \"%1\"").arg(value);
            }
        } else if (name == QLatin1String("--trend")) {
            options.trend = value;
        } else if (name == QLatin1String("--window") || name == QLatin1String("--bins")
                   || name == QLatin1String("--harmonics")) {
            analysisArguments << name << value;
        } else {
            return QStringLiteral("unknown option %1").arg(name);
        }
    }
    if (options.port.isEmpty())
        return QStringLiteral("no port given (--port DEVICE or COMn)");
    if (options.output.isEmpty())
        return QStringLiteral("no output file given (-o OUT.csv)");
    if (options.continuous && options.count != 1)
        return QStringLiteral("--count and --continuous-until-interrupted exclude each other");
    if (options.output == QLatin1String("-") && options.severalBlocks())
        return QStringLiteral("-o - writes one block to standard output; several blocks need a file name");
    auto analysis = AnalyzeOptions::parse(analysisArguments);
    if (const QString *problem = std::get_if<QString>(&analysis))
        return *problem;
    options.analysis = std::get<AnalyzeOptions>(analysis);
    return options;
}
