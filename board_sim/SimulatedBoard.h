// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdint>

// A kz7305-sim process, for the program's demonstration mode, the tests and
// the benchmarks: start() runs the simulated board with the given options and
// returns the path of its pseudo-terminal; stop() (or the destructor) ends it.
class SimulatedBoard
{
public:
    SimulatedBoard() = default;
    ~SimulatedBoard();
    SimulatedBoard(const SimulatedBoard &) = delete;
    SimulatedBoard &operator=(const SimulatedBoard &) = delete;

    // Empty text when the simulator did not start; errorString() says why.
    QString start(const QStringList &options = {});
    void stop();

    QString devicePath() const { return m_devicePath; }
    QString errorString() const { return m_error; }
    static QString programPath();
    // The codes of a block as --dump FILE wrote them, one decimal code a line.
    static QList<std::int32_t> readDump(const QString &file);

private:
    QProcess m_process;
    QString m_devicePath;
    QString m_error;
};
