// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

// One run of the real kz7305evm-cli: its exit code (-1 when it crashed or did
// not end within a minute) and what it wrote.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KZ_CLI_PATH), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  process.readAllStandardOutput(), process.readAllStandardError()};
}

inline QByteArray readFile(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A data file without its "Created:" line, which holds the time of the save.
inline QByteArray withoutCreatedLine(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    if (lines.size() > 1)
        lines.removeAt(1);
    return lines.join('\n');
}
