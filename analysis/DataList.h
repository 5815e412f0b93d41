// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFormat.h"
#include "Progress.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>

// The numbered code list of the data list view (and of data-list files).
namespace DataList {

// number in decimal, a tab, and the code in the given format.
QString line(std::int32_t number, std::int32_t code, DataFormat format, const CodeScale &scale,
             QChar separator);

// One line per sample, numbered from 1, every sample of the block. Reports
// i / 8 at every eighth sample. With no format (no option selected) the list
// stays empty, yet progress runs as usual.
QStringList lines(std::span<const std::int32_t> samples, std::optional<DataFormat> format,
                  const CodeScale &scale, QChar separator, const ProgressFn &progress = {});

} // namespace DataList
