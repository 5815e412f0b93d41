// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteAcquisition.h"

#include "BoardSession.h"
#include "NuvarDriverClass.h"

#include <algorithm>
#include <exception>

RemoteAcquisition::RemoteAcquisition(BoardSession &board, QObject *parent)
    : QObject(parent), m_board(board)
{
    AcquisitionSession &session = board.acquisition();
    // The session serves every user of the board: only the events of a block
    // of ours count here.
    connect(&session, &AcquisitionSession::blockReady, this, [this](const SampleBlock &block) {
        if (!running())
            return;
        m_block = block;
        ++m_blockSerial;
        end({});
    });
    connect(&session, &AcquisitionSession::failed, this,
            [this](AcquisitionSession::Failure failure, const QString &cause) {
                if (running())
                    end(AcquisitionSession::failureText(failure, cause));
            });
    connect(&board, &BoardSession::driverChanged, this, [this] {
        if (running())
            end(QStringLiteral("the board's driver was released"));
    });
}

double RemoteAcquisition::sampleRate() const
{
    if (m_rate)
        return *m_rate;
    NuvarDriverClass *driver = m_board.driver();
    return driver ? driver->SampleRate() : m_board.limits().defaultSampleRate;
}

void RemoteAcquisition::reset()
{
    abort();
    m_setup = {};
    m_rate = m_board.limits().defaultSampleRate;
    m_samples = std::clamp(DefaultSamples, m_board.limits().minSamples, m_board.limits().maxSamples);
}

std::optional<std::pair<RemoteAcquisition::Refusal, QString>> RemoteAcquisition::start(const QString &user)
{
    if (running())
        return std::pair{Refusal::Busy, QStringLiteral("a block is already under way")};
    NuvarDriverClass *driver = m_board.driver();
    NuvarDriverSettings *settings = m_board.namedSettings();
    if (!m_board.isOpen() || !driver || !settings)
        return std::pair{Refusal::Refused, QStringLiteral("no board is bound")};
    QString refusal;
    if (!m_board.claim(user, &refusal))
        return std::pair{Refusal::Busy, refusal};
    m_user = user;
    auto refuse = [&](const QString &problem) {
        m_board.release(user);
        m_user.clear();
        return std::pair{Refusal::Refused, problem};
    };
    if (const auto refused = m_setup.applyTo(*settings))
        return refuse(QStringLiteral("the driver refused %1").arg(*refused));
    if (m_rate && *m_rate != driver->SampleRate()) {
        std::optional<QString> refused;
        try {
            m_board.acquisition().callDriver([&] { refused = BoardSetup::setSampleRate(*driver, *m_rate); });
        } catch (const std::exception &error) {
            refused = QString::fromLocal8Bit(error.what());
        }
        if (!running())
            return std::nullopt; // aborted meanwhile: finished() was emitted
        if (refused)
            return refuse(*refused);
    }
    // A failure to start is reported through the session's failed(), which
    // ends the block here.
    m_board.startBlock(m_samples, true);
    return std::nullopt;
}

void RemoteAcquisition::abort()
{
    if (running())
        end({});
}

void RemoteAcquisition::end(const QString &problem)
{
    const QString user = m_user;
    m_user.clear();
    m_board.release(user);
    emit finished(problem);
}
