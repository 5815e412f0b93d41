// SPDX-License-Identifier: GPL-3.0-or-later
// Reception of an acquired block: block reads of the sample page, answers
// assembled into samples, and the failure, resend and abort paths.
#include "kz7305.h"

#include "NuvarDriverError.h"
#include "csrdrv.h"
#include "kz7305Internals.h"
#include "kz7305RegisterMap.h"
#include "stupidTimeoutMsg.h"

#include <QTimer>

#include <algorithm>
#include <string>

namespace {

using namespace kz7305RegisterMap;
using namespace kz7305Internals;

std::int32_t decodeSample(quint8 b0, quint8 b1, quint8 b2)
{
    std::int32_t code = b0 * 65536 + b1 * 256 + b2;
    if (code > 8388607)
        code -= 16777216;
    return code;
}

} // namespace

void kz7305::StartDataReceive(std::int16_t, std::int32_t nSamples)
{
    if (nSamples < 1 || nSamples > MaxReceiveSamples)
        throw NuvarDriverError("Cannot receive " + std::to_string(nSamples) + " samples");
    CallScope scope(*this);
    if (m_receiving)
        m_link->abandonBlockReads(); // the answers of the reception replaced are not this one's
    m_buffer.assign(static_cast<std::size_t>(nSamples), 0);
    m_samplesToReceive = nSamples;
    m_samplesReceived = 0;
    m_notReadyAnswers = 0;
    m_blocks.clear();
    m_outOfStepRereads = 0;
    m_link->takeOutOfStepLengths(); // no block of this reception has them
    m_blockLengthWait.stop();
    m_receiving = true;
    ++m_reception;
    try {
        RequestNextBlock();
    } catch (...) {
        m_receiving = false;
        m_status = STATUS_ERROR;
        throw;
    }
    raise(EVENT_RX_START);
}

void kz7305::RequestNextBlock()
{
    const std::int32_t count = std::min(m_samplesToReceive - m_samplesReceived, MaxBlockSamples);
    int length = m_link->freeBlockLength(BytesPerSample * count, BytesPerSample);
    m_blockStart = m_samplesReceived;
    if (length == 0) {
        // Every length that fits the rest is another read's: a longer block
        // that ends at the last sample reads some samples again.
        length = m_link->freeBlockLength(BytesPerSample * std::min(m_samplesToReceive, MaxBlockSamples), BytesPerSample);
        m_blockStart = m_samplesToReceive - length / BytesPerSample;
    }
    if (length == 0) {
        // Late answers may still come for every length there is.
        m_blockLengthWait.start(m_link->blockLengthWaitMs());
        return;
    }
    m_requestedLength = length;
    RequestBlockAgain();
}

void kz7305::RequestBlockAgain()
{
    m_link->setPage(SamplePage);
    m_link->readBlock(BytesPerSample * m_blockStart, m_requestedLength);
}

bool kz7305::rereadSuspectBlocks()
{
    const QList<int> lengths = m_link->takeOutOfStepLengths();
    const auto first = std::find_if(m_blocks.begin(), m_blocks.end(),
                                    [&lengths](const ReceivedBlock &block) { return lengths.contains(block.length); });
    if (first == m_blocks.end())
        return false;
    if (++m_outOfStepRereads > MaxOutOfStepRereads) {
        m_lastError = QStringLiteral("the board's answers came out of step");
        receptionFailed();
        return true;
    }
    m_samplesReceived = first->firstSample;
    m_blocks.erase(first, m_blocks.end());
    RequestNextBlock();
    return true;
}

void kz7305::linkResponseReceived()
{
    CallScope scope(*this);
    const PacketRef packet = m_link->takeAnswer();
    if (!packet || !m_receiving)
        return;
    if (packet->packetType() == ReadResponse) {
        m_notReadyAnswers = 0;
        if (rereadSuspectBlocks())
            return;
        assembleSamples(*packet);
    } else if (packet->packetType() == StatusPacket) {
        // The data is not ready yet: ask again, but not for ever.
        if (++m_notReadyAnswers > MaxNotReadyAnswers) {
            m_lastError = QStringLiteral("the board kept answering that the data is not ready");
            receptionFailed();
            return;
        }
        RequestBlockAgain();
    }
}

void kz7305::assembleSamples(const csr232packet &packet)
{
    // Whole samples only, and never more than the block holds.
    const int whole = packet.varLength() / BytesPerSample;
    const int count = std::min(whole, int(m_samplesToReceive - m_blockStart));
    m_blocks.push_back({m_blockStart, packet.varLength()});
    for (int j = 0; j < count; ++j) {
        const int at = BytesPerSample * j;
        m_buffer[std::size_t(m_blockStart + j)] =
            decodeSample(packet.dataBufferByte(at), packet.dataBufferByte(at + 1), packet.dataBufferByte(at + 2));
    }
    m_samplesReceived = std::max(m_samplesReceived, m_blockStart + count);
    const std::weak_ptr<int> token = m_lifetime;
    if (m_samplesReceived == m_samplesToReceive) {
        m_receiving = false;
        raise(EVENT_RX_FINISH);
        if (alive(token))
            m_status = STATUS_DATA_AVAILABLE;
        return;
    }
    const std::uint64_t reception = m_reception;
    raise(EVENT_RX_CONT);
    if (alive(token) && m_reception == reception && m_receiving)
        RequestNextBlock();
}

void kz7305::linkResponseTimeout()
{
    if (!m_receiving)
        return;
    noteLinkFailure();
    receptionFailed();
}

void kz7305::receptionFailed()
{
    m_receiving = false;
    const std::uint64_t reception = m_reception;
    if (!windowsAvailable() || m_timeoutMsg) {
        reportReceptionFailure(reception);
        return;
    }
    // Shown once the link's callback has returned: a window waited for inside
    // it would keep the link's call open for as long as the window is.
    m_timeoutMsg = new stupidTimeoutMsg(ownerWindow());
    const std::weak_ptr<int> token = m_lifetime;
    QTimer::singleShot(0, m_link, [this, token, reception] {
        if (!alive(token))
            return;
        CallScope scope(*this);
        m_timeoutMsg->showAndWait();
        if (!alive(token))
            return;
        delete m_timeoutMsg.data();
        reportReceptionFailure(reception);
    });
}

void kz7305::reportReceptionFailure(std::uint64_t reception)
{
    // A reception started while the window was open is not the one that failed.
    if (m_reception != reception)
        return;
    CallScope scope(*this);
    const std::weak_ptr<int> token = m_lifetime;
    raise(EVENT_RX_ERROR);
    if (alive(token))
        m_status = STATUS_ERROR;
}

void kz7305::AbortDataReceive()
{
    if (!m_receiving)
        return;
    m_receiving = false;
    ++m_reception; // a reception still on the stack does not go on
    m_buffer.clear();
    m_samplesReceived = 0;
    m_blockLengthWait.stop();
    m_link->abandonBlockReads();
    m_status = STATUS_IDLE;
}

void kz7305::GetData(std::span<std::int32_t> Data)
{
    if (Data.size() < m_buffer.size())
        throw NuvarDriverError("GetData: the array holds " + std::to_string(Data.size()) + " elements, the block "
                               + std::to_string(m_buffer.size()) + " samples");
    std::copy(m_buffer.begin(), m_buffer.end(), Data.begin());
}
