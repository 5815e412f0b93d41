// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileLoader.h"

#include <QString>
#include <variant>

// Loads a time-domain data file as the plot window does: the block, or a
// one-line description of why the file cannot be loaded.
std::variant<SampleBlock, QString> loadTimeDomainBlock(const QString &file);
