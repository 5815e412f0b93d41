// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScpiCommand.h"
#include "ScpiHeader.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <variant>

// What a command gave: the answer of a query, or the error it ended in.
struct ScpiReply {
    std::optional<QByteArray> answer;
    int error = 0;
    QString detail;

    static ScpiReply of(const QByteArray &answer) { return {answer, 0, {}}; }
    static ScpiReply failure(int error, const QString &detail = {}) { return {std::nullopt, error, detail}; }
};

// The instrument's commands: each header with the number of parameters it
// takes and what it does. Finding a command also checks its parameter count.
class ScpiCommandTable
{
public:
    using Handler = std::function<ScpiReply(const ScpiCommand &command)>;
    // Commands that wait until every operation started has finished.
    enum class Timing { Immediate, AfterOperations };

    void add(const char *header, int minParameters, int maxParameters, Handler handler,
             Timing timing = Timing::Immediate);

    struct Entry {
        ScpiHeader header;
        int minParameters;
        int maxParameters;
        Handler handler;
        Timing timing;
    };
    // The entry command runs: of those whose header matches, the first whose
    // parameter count fits. Without one, the error: -113 when no header
    // matches, else -108 or -109 by the first match's count.
    std::variant<const Entry *, int> find(const ScpiCommand &command) const;

private:
    QList<Entry> m_entries;
};
