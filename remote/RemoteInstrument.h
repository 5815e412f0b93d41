// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RemoteAcquisition.h"
#include "RemoteFigures.h"
#include "ScpiCommand.h"
#include "ScpiCommandTable.h"
#include "ScpiStatus.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class BoardSession;

// The board as one instrument on the bench: the commands a remote-control
// client sends, run against the board session, with the instrument's status
// (error queue, event register), its board settings and its own analysis
// options. A block started by INITiate is an operation: *OPC?, *WAI and *OPC
// wait for it. No sockets: the server hands it the parsed units.
class RemoteInstrument : public QObject
{
    Q_OBJECT

public:
    // How FETCh:DATA? sends the codes.
    enum class CodeFormat { Int32, Ascii };

    // dataDirectory: where MMEMory:STORe:DATA saves.
    RemoteInstrument(BoardSession &board, const QString &dataDirectory, QObject *parent = nullptr);

    // The client commands come from, as the board's busy text names it.
    void setClient(const QString &client) { m_client = client; }
    // Runs one unit; its answer when it is a query that succeeded. An error
    // goes to the queue. answersWaiting: earlier units of the message have
    // answers not yet sent (the message-available bit of *STB?).
    std::optional<QByteArray> execute(const ScpiUnit &unit, bool answersWaiting = false);
    // Whether unit must wait until the operations under way have finished.
    bool mustWait(const ScpiUnit &unit) const;
    bool operationsPending() const { return m_acquisition.running(); }
    // A new client takes control: the status starts empty, the block under
    // way of the one before is aborted.
    void resetSession();
    // Records an error that did not come from a command (a line too long).
    void pushError(int code) { m_status.push(code); }

    RemoteAcquisition &acquisition() { return m_acquisition; }
    ScpiStatus &status() { return m_status; }

signals:
    void operationsFinished();

private:
    void addCommonCommands();
    void addBoardCommands();
    void addDataCommands();
    void addAnalysisCommands();
    ScpiReply initiate();
    ScpiReply storeData(const QByteArray &name);
    // The block for a FETCh query, nullptr when none was acquired yet.
    const SampleBlock *fetchedBlock() const;

    ScpiCommandTable m_table;
    ScpiStatus m_status;
    RemoteAcquisition m_acquisition;
    RemoteFigures m_figures;
    QString m_dataDirectory;
    QString m_client;
    CodeFormat m_format = CodeFormat::Int32;
    bool m_overwrite = false;
    bool m_opcAfterOperations = false; // *OPC given while a block was under way
    bool m_answersWaiting = false;
};
