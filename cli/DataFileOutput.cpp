// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileOutput.h"

#include "DataFileWriter.h"
#include "RegularFile.h"

#include <unistd.h>

namespace DataFileOutput {

bool isStandardOutput(const QString &path)
{
    return path == QLatin1String("-");
}

QString displayName(const QString &path)
{
    return isStandardOutput(path) ? QStringLiteral("(standard output)") : path;
}

QTextStream &reportStream(const QString &path, QTextStream &out, QTextStream &err)
{
    return isStandardOutput(path) ? err : out;
}

bool save(const QString &path, const QByteArray &content, QString *problem)
{
    if (!isStandardOutput(path))
        return DataFileWriter::save(path, content, problem);
    // Nothing else is written to standard output, so no stream buffer is passed by.
    if (const int error = RegularFile::writeAll(STDOUT_FILENO, content)) {
        *problem = QStringLiteral("Cannot write the data file to standard output: %1.").arg(RegularFile::cause(error));
        return false;
    }
    return true;
}

} // namespace DataFileOutput
