// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AcquisitionSession.h"
#include "BoardLimits.h"
#include "NuvarDriverEvents.h"

#include <QObject>
#include <QString>
#include <memory>

class NuvarDriverClass;
class NuvarDriverSettings;

// The board as the program holds it: the driver, created from its class
// identifier and owned until it is closed; the driver's event sink, which
// gives the link's communication events as a signal and the acquisition's to
// the acquisition session it owns; and the one user the board serves at a
// time. The window and the command-line tool both acquire through it. No
// widgets.
class BoardSession : public QObject, public NuvarDriverEvents
{
    Q_OBJECT

public:
    // The link's events around a register exchange that waits for the board.
    enum class Communication {
        Waiting,  // raised again and again while it waits
        Started,  // the exchange starts waiting for the answer
        Answered, // the answer came
        Failed,   // no answer in time
    };

    explicit BoardSession(QObject *parent = nullptr);
    ~BoardSession() override;

    // Creates the driver of class identifier classId ("Library.Class") in
    // place of any held one; false, with the reason in *error, when it cannot.
    bool load(const QString &classId, QString *error = nullptr);
    // Holds driver, created elsewhere, as the board's driver.
    void adopt(std::unique_ptr<NuvarDriverClass> driver);
    // Binds the held driver to this sink (DriverOpen); blocks can be acquired
    // from then on. Throws what the driver throws.
    void open();
    // Unbinds the driver (DriverClose, whatever it throws) and releases it.
    void close();

    NuvarDriverClass *driver() const { return m_driver.get(); }
    bool isOpen() const { return m_acquisition.driver() != nullptr; }
    // The driver's named settings; nullptr when it offers none.
    NuvarDriverSettings *namedSettings() const;
    BoardLimits limits() const;
    AcquisitionSession &acquisition() { return m_acquisition; }

    // Takes the board for user's run of blocks (user says what it is, in
    // words: "an acquisition in the main window"). The board serves one run
    // at a time: while another user's lasts, false, with "The board is busy: "
    // and that user in *refusal.
    bool claim(const QString &user, QString *refusal = nullptr);
    // Starts a block of the run that holds the board; with configure the
    // board's settings are written first (a run's first block). False when
    // nothing started: no run holds the board, or failed() was emitted.
    bool startBlock(std::int32_t samples, bool configure);
    // Ends user's run, cancelling its block under way: the board is free.
    // Another user's run goes on.
    void release(const QString &user);
    // The user of the run that holds the board; empty while it is free.
    QString user() const { return m_user; }

    void DriverEvent(EventEnum evType) override;

signals:
    void communication(BoardSession::Communication state);
    // A driver was opened or released.
    void driverChanged();

private:
    std::unique_ptr<NuvarDriverClass> m_driver;
    AcquisitionSession m_acquisition;
    QString m_user;
};
