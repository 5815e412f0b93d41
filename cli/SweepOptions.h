// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoardLimits.h"
#include "RunPlan.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

// What "sweep" was asked to do: the run's plan and where its results go.
struct SweepOptions {
    QString port;
    RunPlan plan;
    QString samplesText = QStringLiteral("4096"); // as given: its range is the board's
    bool table = false;     // CSV rows instead of JSON Lines
    QString outputFolder;   // empty: no files are kept
    QStringList notes;      // what was taken otherwise than given, one line each

    static std::variant<SweepOptions, QString> parse(const QStringList &arguments);
    // Takes the sample count within the board's limits; the usage problem
    // when it is out of them.
    std::optional<QString> takeSamples(const BoardLimits &limits);
};
