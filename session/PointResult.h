// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FigureSpread.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One point of a characterisation run as it ended: the settings the driver
// had in force, read back, and its figures over the blocks kept; or, for a
// failed point, the planned settings and what went wrong.
struct PointResult {
    int channel = 1;
    int averaging = 0;
    double rate = 0;
    double vref = 0;
    int samples = 0;
    int blocks = 0; // the blocks kept, settling ones not counted
    std::optional<int> toneBlocks;
    QList<FigureSpread::Summary> figures;
    QString error; // empty: the point was measured
    QStringList files; // its kept blocks' data files, when saved, names within the run's folder

    bool failed() const { return !error.isEmpty(); }
    // The summary of key, nullptr when the point has none.
    const FigureSpread::Summary *figure(const QString &key) const;

    // One JSON Lines object: channel, averaging, rate, vref, samples, blocks,
    // tone_blocks, then each figure's key with its mean and KEY_min, KEY_max
    // (null where no block computed it); a failed point: channel, averaging,
    // rate and error.
    QJsonObject toJson() const;
    static PointResult fromJson(const QJsonObject &object);

    // The CSV columns of points recording figureKeys, and a point's row.
    static QStringList csvHeader(const QStringList &figureKeys);
    QStringList csvFields(const QStringList &figureKeys) const;
};
