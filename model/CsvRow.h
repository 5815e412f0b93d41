// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// One row of a CSV table after RFC 4180: fields joined by commas, a field
// holding a comma, a quote or a line break quoted, the line ended with CR LF.
namespace CsvRow {

QString field(const QString &text);
QString line(const QStringList &fields);

} // namespace CsvRow
