// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (logout, kill, Ctrl+C) into a call on the UI
// thread, so the program ends the way File > Exit ends it. The handler only
// writes a byte to a pipe; the event loop reads it and calls quit.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(std::function<void()> quit, QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    void signalArrived();

    std::function<void()> m_quit;
    QSocketNotifier *m_notifier = nullptr;
};
