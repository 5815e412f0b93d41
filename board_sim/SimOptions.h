// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SignalModel.h"

#include <QString>
#include <QStringList>

#include <array>

// The simulated board's command line.
struct SimOptions
{
    QString linkPath;
    QString logPath;
    QString dumpPath;
    int baud = 0;
    bool paceInput = false;
    int dropEvery = 0;
    int lateEvery = 0;
    int lateMs = 5500;
    int strayEvery = 0;
    int extraStatusEvery = 0;
    int closeAfter = 0;
    bool earlyCompletion = false;
    int corruptEvery = 0;
    int stallEvery = 0;
    int breakAfter = 0;
    int progressMs = 100;
    bool silent = false;
    quint64 seed = 1;
    double vref = 4.096;
    std::array<ChannelSignal, 4> channels;

    SimOptions();
    // Parses the program's arguments; false with an error text on a bad one.
    bool parse(const QStringList &arguments, QString *error);
};
