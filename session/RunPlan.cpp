// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunPlan.h"

#include "FigureCatalogue.h"
#include "ViewTraits.h"

#include <QJsonArray>

namespace {

// Bytes on the line: a block read fetches at most 85 samples of 3 bytes; its
// request and the answer's framing add about 30 bytes; a settings change is
// some ten register writes and their acknowledgements.
constexpr int SamplesPerRead = 85;
constexpr int BytesPerSample = 3;
constexpr int BytesPerReadExchange = 30;
constexpr int BytesPerPointSettings = 10 * 25;
constexpr double BitsPerByte = 10.0;

template <typename Value>
QJsonArray arrayOf(const QList<Value> &values)
{
    QJsonArray array;
    for (const Value &value : values)
        array.append(value);
    return array;
}

template <typename Value>
QList<Value> listOf(const QJsonValue &value)
{
    QList<Value> list;
    for (const QJsonValue &item : value.toArray())
        list.append(Value(item.toDouble()));
    return list;
}

} // namespace

DocumentOptions::Fft RunPlan::defaultFft()
{
    DocumentOptions::Fft fft;
    fft.window = FftWindow::BlackmanHarris7;
    fft.autoBins = true;
    return fft;
}

QList<RunPlan::Point> RunPlan::points() const
{
    QList<Point> points;
    for (int channel : channels)
        for (int average : averaging)
            for (double rate : rates)
                points.append({channel, average, rate});
    return points;
}

QList<DocumentOptions::View> RunPlan::views() const
{
    QList<DocumentOptions::View> views;
    if (noise)
        views.append(DocumentOptions::TimeDomain);
    if (tone)
        views.append(DocumentOptions::FFTPlot);
    return views;
}

QStringList RunPlan::figureKeys() const
{
    QStringList keys;
    for (DocumentOptions::View view : views())
        for (const FigureCatalogue::Entry &entry : FigureCatalogue::entries())
            if (ViewTraits::of(view).figures.testFlag(entry.section) && FigureCatalogue::isNumeric(entry.kind))
                keys.append(QLatin1String(entry.key));
    return keys;
}

std::optional<QString> RunPlan::problem(const BoardLimits &limits) const
{
    if (channels.isEmpty() || averaging.isEmpty() || rates.isEmpty())
        return QStringLiteral("the plan needs at least one input, one averaging setting and one rate");
    for (int channel : channels)
        if (channel < BoardSetup::MinChannel || channel > BoardSetup::MaxChannel)
            return QStringLiteral("input %1 does not exist: inputs are %2 to %3").arg(channel).arg(BoardSetup::MinChannel).arg(BoardSetup::MaxChannel);
    for (int average : averaging)
        if (average < 0 || average > BoardSetup::MaxAveraging)
            return QStringLiteral("averaging %1 is outside 0 to %2").arg(average).arg(BoardSetup::MaxAveraging);
    for (double rate : rates)
        if (!(rate >= limits.minSampleRate && rate <= limits.maxSampleRate))
            return QStringLiteral("the rate %1 Hz is outside the board's %2 to %3 Hz")
                .arg(rate, 0, 'g', 10)
                .arg(limits.minSampleRate, 0, 'g', 10)
                .arg(limits.maxSampleRate, 0, 'g', 10);
    if (!(vref >= BoardSetup::MinVref && vref <= BoardSetup::MaxVref))
        return QStringLiteral("the reference %1 V is outside %2 to %3 V").arg(vref).arg(BoardSetup::MinVref).arg(BoardSetup::MaxVref);
    if (samples < limits.minSamples || samples > limits.maxSamples)
        return QStringLiteral("%1 samples is outside the board's %2 to %3").arg(samples).arg(limits.minSamples).arg(limits.maxSamples);
    if (blocks < 1 || blocks > MaxBlocks)
        return QStringLiteral("a point takes 1 to %1 blocks, not %2").arg(MaxBlocks).arg(blocks);
    if (settleBlocks < 0 || settleBlocks > MaxSettleBlocks)
        return QStringLiteral("0 to %1 settling blocks, not %2").arg(MaxSettleBlocks).arg(settleBlocks);
    if (!noise && !tone)
        return QStringLiteral("the plan records no figures: choose noise, tone or both");
    return std::nullopt;
}

double RunPlan::blockSeconds(double rate) const
{
    const int reads = (samples + SamplesPerRead - 1) / SamplesPerRead;
    const double lineBytes = double(samples) * BytesPerSample + double(reads) * BytesPerReadExchange;
    return samples / rate + lineBytes * BitsPerByte / LineBaud;
}

double RunPlan::estimatedSeconds() const
{
    double seconds = 0;
    for (const Point &point : points())
        seconds += blocksPerPoint() * blockSeconds(point.rate) + BytesPerPointSettings * BitsPerByte / LineBaud;
    return seconds;
}

QJsonObject RunPlan::toJson() const
{
    return QJsonObject{
        {QStringLiteral("channels"), arrayOf(channels)},
        {QStringLiteral("averaging"), arrayOf(averaging)},
        {QStringLiteral("rates"), arrayOf(rates)},
        {QStringLiteral("vref"), vref},
        {QStringLiteral("samples"), samples},
        {QStringLiteral("blocks"), blocks},
        {QStringLiteral("settle_blocks"), settleBlocks},
        {QStringLiteral("noise"), noise},
        {QStringLiteral("tone"), tone},
        {QStringLiteral("fft"), QJsonObject{{QStringLiteral("window"), int(fft.window)},
                                            {QStringLiteral("window_name"), FftWindows::title(fft.window)},
                                            {QStringLiteral("bins"), fft.autoBins ? QJsonValue(QStringLiteral("auto"))
                                                                                  : QJsonValue(fft.numBins)},
                                            {QStringLiteral("harmonics"), fft.numHarmonics},
                                            {QStringLiteral("normalize"), normalizeFft}}}};
}

std::optional<RunPlan> RunPlan::fromJson(const QJsonObject &object)
{
    if (!object.value(QStringLiteral("rates")).isArray())
        return std::nullopt;
    RunPlan plan;
    plan.channels = listOf<int>(object.value(QStringLiteral("channels")));
    plan.averaging = listOf<int>(object.value(QStringLiteral("averaging")));
    plan.rates = listOf<double>(object.value(QStringLiteral("rates")));
    plan.vref = object.value(QStringLiteral("vref")).toDouble(BoardSetup().vref);
    plan.samples = object.value(QStringLiteral("samples")).toInt(plan.samples);
    plan.blocks = object.value(QStringLiteral("blocks")).toInt(plan.blocks);
    plan.settleBlocks = object.value(QStringLiteral("settle_blocks")).toInt(plan.settleBlocks);
    plan.noise = object.value(QStringLiteral("noise")).toBool(plan.noise);
    plan.tone = object.value(QStringLiteral("tone")).toBool(plan.tone);
    const QJsonObject fft = object.value(QStringLiteral("fft")).toObject();
    plan.fft.window = FftWindows::fromIndex(fft.value(QStringLiteral("window")).toInt(int(plan.fft.window)));
    const QJsonValue bins = fft.value(QStringLiteral("bins"));
    plan.fft.autoBins = bins.isString();
    if (!plan.fft.autoBins)
        plan.fft.numBins = MetricOptions::oddNumBins(bins.toInt(MetricOptions::DefaultNumBins));
    plan.fft.numHarmonics = fft.value(QStringLiteral("harmonics")).toInt(plan.fft.numHarmonics);
    plan.normalizeFft = fft.value(QStringLiteral("normalize")).toBool();
    return plan;
}
