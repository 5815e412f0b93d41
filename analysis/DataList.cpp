// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataList.h"

#include <cstddef>

namespace DataList {

QString line(std::int32_t number, std::int32_t code, DataFormat format, const CodeScale &scale,
             QChar separator)
{
    return QString::number(number) + QLatin1Char('\t') + CodeText::screenCode(code, format, scale, separator);
}

QStringList lines(std::span<const std::int32_t> samples, std::optional<DataFormat> format,
                  const CodeScale &scale, QChar separator, const ProgressFn &progress)
{
    QStringList result;
    const auto count = static_cast<std::int32_t>(samples.size());
    if (format)
        result.reserve(count);
    for (std::int32_t i = 0; i < count; ++i) {
        if (format)
            result.append(line(i + 1, samples[static_cast<std::size_t>(i)], *format, scale, separator));
        if (i % 8 == 0)
            reportProgress(progress, i / 8);
    }
    return result;
}

} // namespace DataList
