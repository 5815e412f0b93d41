// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedBoard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

SimulatedBoard::~SimulatedBoard()
{
    stop();
}

QString SimulatedBoard::programPath()
{
    // Installed, and in the build tree, the simulator sits beside the program;
    // tests and benchmarks elsewhere in the build tree use the path it was built at.
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kz7305-sim"));
    return QFileInfo::exists(beside) ? beside : QStringLiteral(KZ_SIM_PROGRAM);
}

QString SimulatedBoard::start(const QStringList &options)
{
    stop();
    m_process.setProgram(programPath());
    m_process.setArguments(options);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // The board ends with its starter, even one killed outright: the kernel
    // sends the child SIGTERM when the parent dies. The simulator must stay a
    // direct child (no shell between) for this to reach it.
    m_process.setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1); // the parent died before the request took hold
    });
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        m_error = m_process.errorString();
        return {};
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(5000)) {
            m_error = QStringLiteral("no device path from the simulator: %1")
                          .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
            stop();
            return {};
        }
    }
    m_devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return m_devicePath;
}

void SimulatedBoard::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    m_devicePath.clear();
}

QList<std::int32_t> SimulatedBoard::readDump(const QString &file)
{
    QFile dump(file);
    QList<std::int32_t> codes;
    if (!dump.open(QIODevice::ReadOnly | QIODevice::Text))
        return codes;
    for (const QByteArray &line : dump.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            codes.append(line.trimmed().toInt());
    }
    return codes;
}
