// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes a remote-control client may send, line by line, through the
// command parser and the instrument's command table: nothing may crash, and the
// error queue keeps its length.
#include "BoardSession.h"
#include "RemoteInstrument.h"
#include "ScpiStatus.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // No driver: every command but the board's own runs as with a board.
    static BoardSession board;
    RemoteInstrument instrument(board, QStringLiteral("/nonexistent"));
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &line : input.split('\n')) {
        const QList<ScpiUnit> units = ScpiParser::parse(line);
        for (qsizetype i = 0; i < units.size(); ++i)
            instrument.execute(units[i], i > 0);
        if (instrument.status().errorCount() > ScpiStatus::QueueLength)
            std::abort();
    }
    return 0;
}
