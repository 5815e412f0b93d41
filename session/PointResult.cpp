// SPDX-License-Identifier: GPL-3.0-or-later
#include "PointResult.h"

#include "NumberFormat.h"

#include <QJsonArray>

namespace {

const QString MinSuffix = QStringLiteral("_min");
const QString MaxSuffix = QStringLiteral("_max");

QString numberText(double value)
{
    return NumberFormat::general(value, QLatin1Char('.'));
}

} // namespace

const FigureSpread::Summary *PointResult::figure(const QString &key) const
{
    for (const FigureSpread::Summary &summary : figures)
        if (summary.key == key)
            return &summary;
    return nullptr;
}

QJsonObject PointResult::toJson() const
{
    QJsonObject object{{QStringLiteral("channel"), channel},
                       {QStringLiteral("averaging"), averaging},
                       {QStringLiteral("rate"), rate}};
    if (failed()) {
        object.insert(QStringLiteral("error"), error);
        return object;
    }
    object.insert(QStringLiteral("vref"), vref);
    object.insert(QStringLiteral("samples"), samples);
    object.insert(QStringLiteral("blocks"), blocks);
    object.insert(QStringLiteral("tone_blocks"), toneBlocks ? QJsonValue(*toneBlocks) : QJsonValue());
    for (const FigureSpread::Summary &summary : figures) {
        const bool computed = summary.computedBlocks > 0;
        object.insert(summary.key, computed ? QJsonValue(summary.mean) : QJsonValue());
        object.insert(summary.key + MinSuffix, computed ? QJsonValue(summary.min) : QJsonValue());
        object.insert(summary.key + MaxSuffix, computed ? QJsonValue(summary.max) : QJsonValue());
    }
    return object;
}

PointResult PointResult::fromJson(const QJsonObject &object)
{
    static const QStringList ownKeys{QStringLiteral("channel"), QStringLiteral("averaging"), QStringLiteral("rate"),
                                     QStringLiteral("vref"),    QStringLiteral("samples"),   QStringLiteral("blocks"),
                                     QStringLiteral("tone_blocks"), QStringLiteral("error"), QStringLiteral("files")};
    PointResult point;
    point.channel = object.value(QStringLiteral("channel")).toInt();
    point.averaging = object.value(QStringLiteral("averaging")).toInt();
    point.rate = object.value(QStringLiteral("rate")).toDouble();
    point.vref = object.value(QStringLiteral("vref")).toDouble();
    point.samples = object.value(QStringLiteral("samples")).toInt();
    point.blocks = object.value(QStringLiteral("blocks")).toInt();
    point.error = object.value(QStringLiteral("error")).toString();
    if (const QJsonValue tones = object.value(QStringLiteral("tone_blocks")); tones.isDouble())
        point.toneBlocks = tones.toInt();
    for (const QJsonValue &file : object.value(QStringLiteral("files")).toArray())
        point.files.append(file.toString());
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString &key = it.key();
        if (ownKeys.contains(key) || key.endsWith(MinSuffix) || key.endsWith(MaxSuffix))
            continue;
        FigureSpread::Summary summary;
        summary.key = key;
        if (!it.value().isNull()) {
            summary.computedBlocks = point.blocks;
            summary.mean = it.value().toDouble();
            summary.min = object.value(key + MinSuffix).toDouble();
            summary.max = object.value(key + MaxSuffix).toDouble();
        }
        point.figures.append(summary);
    }
    return point;
}

QStringList PointResult::csvHeader(const QStringList &figureKeys)
{
    QStringList header{QStringLiteral("channel"), QStringLiteral("averaging"), QStringLiteral("rate"),
                       QStringLiteral("vref"),    QStringLiteral("samples"),   QStringLiteral("blocks"),
                       QStringLiteral("tone_blocks")};
    for (const QString &key : figureKeys)
        header << key << key + MinSuffix << key + MaxSuffix;
    header << QStringLiteral("error");
    return header;
}

QStringList PointResult::csvFields(const QStringList &figureKeys) const
{
    QStringList fields{QString::number(channel), QString::number(averaging), numberText(rate)};
    if (failed()) {
        fields.resize(csvHeader(figureKeys).size());
        fields.last() = error;
        return fields;
    }
    fields << numberText(vref) << QString::number(samples) << QString::number(blocks)
           << (toneBlocks ? QString::number(*toneBlocks) : QString());
    for (const QString &key : figureKeys) {
        const FigureSpread::Summary *summary = figure(key);
        if (summary && summary->computedBlocks > 0)
            fields << numberText(summary->mean) << numberText(summary->min) << numberText(summary->max);
        else
            fields << QString() << QString() << QString();
    }
    fields << QString();
    return fields;
}
