// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QListWidget;
class csrdrv;

// Window that logs the raw bytes on the serial line as hexadecimal text,
// 16 bytes a line, grouped by direction; a second of quiet or a change of
// direction closes a block with a "----" line. One instance, made on first use.
class serialMonitor : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxLines = 2001;
    static constexpr int IdleSeparatorMs = 1000;

    explicit serialMonitor(QWidget *parent = nullptr);
    static serialMonitor *instance();
    // Hides the instance if there is one, making none.
    static void hideInstance();

    // Logs everything the link sends and receives from now on.
    void follow(const csrdrv *link);

    void addInputBytes(const QByteArray &bytes);
    void addOutputBytes(const QByteArray &bytes);

    QStringList lines() const;
    bool isTimerRunning() const { return m_ioTimer.isActive(); }

private:
    enum class Direction { Input, Output };
    void addBytes(Direction direction, const QByteArray &bytes);
    void addLine(const QString &text);
    void closeBlock();

    QListWidget *m_ioDisplay;
    QTimer m_ioTimer;
    Direction m_direction = Direction::Output;
    int m_byteCount = 0;
};
