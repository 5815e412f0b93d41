// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextStream>

// Where "-o" and "--save" put a data file: a regular file, or standard output
// for "-" (the report then goes to standard error, so the output holds the
// data file alone).
namespace DataFileOutput {

bool isStandardOutput(const QString &path);
// What the report calls the output: the path, or "(standard output)".
QString displayName(const QString &path);
// The stream the report goes to when the data file goes to path.
QTextStream &reportStream(const QString &path, QTextStream &out, QTextStream &err);
// Writes content to path; false with problem set (naming the cause) on failure.
bool save(const QString &path, const QByteArray &content, QString *problem);

} // namespace DataFileOutput
