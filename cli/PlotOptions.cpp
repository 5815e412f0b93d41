// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotOptions.h"

#include <QRegularExpression>

namespace {

// "dc,main,harmonics", "all" or "none".
std::optional<QString> parseMarks(const QString &text, FftMarks::Groups &marks)
{
    marks = {};
    for (const QString &mark : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = mark.trimmed().toLower();
        if (name == QLatin1String("all"))
            marks = {true, true, true};
        else if (name == QLatin1String("dc"))
            marks.dcSpectrum = true;
        else if (name == QLatin1String("main"))
            marks.mainLobe = true;
        else if (name == QLatin1String("harmonics"))
            marks.harmonics = true;
        else if (name != QLatin1String("none"))
            return QStringLiteral("unknown mark \"%1\" (dc,main,harmonics|all|none)").arg(mark);
    }
    return QString();
}

} // namespace

std::variant<PlotOptions, QString> PlotOptions::parse(const QStringList &arguments)
{
    PlotOptions options;
    const auto own = [&options](OptionArgument &argument) -> std::optional<QString> {
        const QString &name = argument.name();
        QString value;
        if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            if (!argument.takeValue(value) || value.isEmpty())
                return QStringLiteral("option %1 needs a value").arg(name);
            options.output = value;
            return QString();
        }
        if (name == QLatin1String("--size")) {
            if (!argument.takeValue(value))
                return QStringLiteral("option %1 needs a value").arg(name);
            static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
            const QRegularExpressionMatch match = pattern.match(value);
            const QSize size = match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
            if (size.width() < 200 || size.height() < 150 || size.width() > 10000 || size.height() > 10000)
                return QStringLiteral("--size takes WIDTHxHEIGHT from 200x150 to 10000x10000, not \"%1\"").arg(value);
            options.size = size;
            return QString();
        }
        if (name == QLatin1String("--units")) {
            if (!argument.takeValue(value))
                return QStringLiteral("option %1 needs a value").arg(name);
            const std::optional<SpectrumUnit> unit = SpectrumUnits::fromCliName(value);
            if (!unit) {
                QStringList names;
                for (int i = 0; i < SpectrumUnits::Count; ++i)
                    names << SpectrumUnits::cliName(SpectrumUnits::fromIndex(i));
                return QStringLiteral("unknown unit \"%1\" (%2)").arg(value, names.join(QLatin1Char('|')));
            }
            options.document.fft.unit = *unit;
            return QString();
        }
        if (name == QLatin1String("--marks")) {
            if (!argument.takeValue(value))
                return QStringLiteral("option %1 needs a value").arg(name);
            return parseMarks(value, options.document.fft.marks);
        }
        return std::nullopt;
    };
    if (std::optional<QString> problem = options.AnalysisOptions::parse(arguments, own))
        return *problem;
    if (options.files.size() > 1)
        return QStringLiteral("plot draws one file, \"%1\" is one too many").arg(options.files[1]);
    if (options.view == View::DataList)
        return QStringLiteral("the data list has no graph: plot draws --view time, fft or histogram");
    if (options.output.isEmpty())
        return QStringLiteral("no output file given (-o OUT.png|.svg|.pdf)");
    return options;
}
