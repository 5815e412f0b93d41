// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileLoader.h"

#include <QString>
#include <QTextStream>
#include <optional>

// Loads a time-domain data file as the plot window does. On failure writes one
// line "kz7305evm-cli COMMAND: problem" to err and gives nothing.
std::optional<SampleBlock> loadTimeDomainBlock(const QString &file, const char *command, QTextStream &err);
