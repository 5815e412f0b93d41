// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AcquisitionSession.h"
#include "BoardSetup.h"
#include "SampleBlock.h"

#include <QObject>
#include <QString>
#include <optional>

class BoardSession;

// The remote control's side of the board: the settings a client configures,
// kept until a block is started and then given to the driver, and one block
// at a time taken through the board session under the client's name, which
// frees the board again when the block is ready, has failed or is aborted.
class RemoteAcquisition : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultSamples = 4096;

    explicit RemoteAcquisition(BoardSession &board, QObject *parent = nullptr);

    BoardSession &board() { return m_board; }
    int samples() const { return m_samples; }
    void setSamples(int samples) { m_samples = samples; }
    // The rate set, or the driver's own while none is.
    double sampleRate() const;
    void setSampleRate(double rate) { m_rate = rate; }
    const BoardSetup &setup() const { return m_setup; }
    void setSetup(const BoardSetup &setup) { m_setup = setup; }
    // The settings' defaults; a block under way is aborted.
    void reset();

    // Starts a block for user: nothing (the block is under way, and
    // finished() follows), or why it could not start: the board is busy or a
    // block is already under way (Busy), or the driver refused (Refused).
    enum class Refusal { Busy, Refused };
    std::optional<std::pair<Refusal, QString>> start(const QString &user);
    // Cancels the block under way; finished() follows without a problem.
    void abort();
    bool running() const { return !m_user.isEmpty(); }

    // The last block received; empty until one is.
    const std::optional<SampleBlock> &block() const { return m_block; }
    // Counts the blocks received, so what was computed of one is known as its.
    std::uint64_t blockSerial() const { return m_blockSerial; }

signals:
    // The block ended: received, aborted, or failed with problem.
    void finished(const QString &problem);

private:
    void end(const QString &problem);

    BoardSession &m_board;
    int m_samples = DefaultSamples;
    std::optional<double> m_rate;
    BoardSetup m_setup;
    QString m_user; // the client whose block is under way
    std::optional<SampleBlock> m_block;
    std::uint64_t m_blockSerial = 0;
};
