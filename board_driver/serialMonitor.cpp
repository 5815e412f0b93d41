// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialMonitor.h"

#include "csrdrv.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QPointer<serialMonitor> theMonitor;

void deleteMonitor()
{
    delete theMonitor.data();
}

// Room for the title bar and borders that the window manager adds.
constexpr int FrameAllowance = 40;

QFont monitorFont()
{
    const QString preferred = QStringLiteral("Andale Mono");
    QFont font = QFontDatabase::families().contains(preferred)
        ? QFont(preferred)
        : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

} // namespace

serialMonitor::serialMonitor(QWidget *parent)
    : QWidget(parent)
    , m_ioDisplay(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Serial Monitor"));
    m_ioDisplay->setObjectName(QStringLiteral("ioDisplay"));
    m_ioDisplay->setFont(monitorFont());
    m_ioDisplay->setUniformItemSizes(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_ioDisplay);
    resize(420, 300);
    // At the top right of the screen, whole: where a window manager puts a
    // new window may leave part of it below the screen's edge.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(std::max(area.left(), area.right() - width() - FrameAllowance),
             std::min(area.top() + FrameAllowance, std::max(area.top(), area.bottom() - height() - 2 * FrameAllowance)));
    }

    m_ioTimer.setSingleShot(true);
    m_ioTimer.setInterval(IdleSeparatorMs);
    connect(&m_ioTimer, &QTimer::timeout, this, &serialMonitor::closeBlock);
}

serialMonitor *serialMonitor::instance()
{
    if (!theMonitor) {
        theMonitor = new serialMonitor;
        qAddPostRoutine(deleteMonitor);
    }
    return theMonitor;
}

void serialMonitor::hideInstance()
{
    if (theMonitor)
        theMonitor->hide();
}

void serialMonitor::follow(const csrdrv *link)
{
    connect(link, &csrdrv::bytesSent, this, &serialMonitor::addOutputBytes);
    connect(link, &csrdrv::bytesReceived, this, &serialMonitor::addInputBytes);
}

void serialMonitor::addInputBytes(const QByteArray &bytes)
{
    addBytes(Direction::Input, bytes);
}

void serialMonitor::addOutputBytes(const QByteArray &bytes)
{
    addBytes(Direction::Output, bytes);
}

void serialMonitor::addBytes(Direction direction, const QByteArray &bytes)
{
    if (direction != m_direction && m_ioDisplay->count() > 0) {
        addLine(QStringLiteral("----"));
        m_byteCount = 0;
    }
    m_direction = direction;
    m_ioTimer.stop();
    // Each line's text is built here and handed to the list once per call: a
    // list update per byte would slow reception down more than the line itself.
    static constexpr char digits[] = "0123456789ABCDEF";
    const QString prefix = direction == Direction::Input ? QStringLiteral("In : ") : QStringLiteral("Out: ");
    bool lineIsItem = m_byteCount > 0;
    QString line = lineIsItem ? m_ioDisplay->item(m_ioDisplay->count() - 1)->text() : QString();
    auto commit = [&] {
        if (lineIsItem)
            m_ioDisplay->item(m_ioDisplay->count() - 1)->setText(line);
        else
            addLine(line);
    };
    for (const char c : bytes) {
        if (m_byteCount == 0)
            line = prefix;
        const auto byte = static_cast<unsigned char>(c);
        line += QLatin1Char(digits[byte >> 4]);
        line += QLatin1Char(digits[byte & 0x0F]);
        line += QLatin1Char(' ');
        if (++m_byteCount == 16) {
            commit();
            lineIsItem = false;
            m_byteCount = 0;
        }
    }
    if (m_byteCount > 0)
        commit();
    m_ioTimer.start();
}

void serialMonitor::addLine(const QString &text)
{
    while (m_ioDisplay->count() >= MaxLines)
        delete m_ioDisplay->takeItem(0);
    m_ioDisplay->addItem(text);
    if (isVisible())
        m_ioDisplay->scrollToBottom();
}

void serialMonitor::closeBlock()
{
    addLine(QStringLiteral("----"));
    m_byteCount = 0;
}

QStringList serialMonitor::lines() const
{
    QStringList result;
    for (int i = 0; i < m_ioDisplay->count(); ++i)
        result.append(m_ioDisplay->item(i)->text());
    return result;
}
