// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgressDisplay.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int BarWidth = 30;

} // namespace

ProgressDisplay::ProgressDisplay(QTextStream &err, bool terminal)
    : m_err(err)
    , m_terminal(terminal)
{
}

void ProgressDisplay::beginBlock(int block)
{
    beginStep(QStringLiteral("block %1").arg(block));
}

void ProgressDisplay::beginStep(const QString &label)
{
    m_label = label;
    m_stage = nullptr;
}

void ProgressDisplay::acquiring(int done, int total)
{
    show("acquiring", done, total);
}

void ProgressDisplay::receiving(int done, int total)
{
    show("receiving", done, total);
}

void ProgressDisplay::show(const char *stage, int done, int total)
{
    const bool newStage = !m_stage || std::strcmp(m_stage, stage) != 0;
    m_stage = stage;
    if (!m_terminal) {
        if (newStage)
            m_err << m_label << ": " << stage << ' ' << total << " samples\n" << Qt::flush;
        return;
    }
    const int filled = total > 0 ? std::clamp(done * BarWidth / total, 0, BarWidth) : 0;
    m_err << '\r' << m_label << " [" << QString(filled, QLatin1Char('#')) << QString(BarWidth - filled, QLatin1Char(' '))
          << "] " << stage << ' ' << done << '/' << total << "   " << Qt::flush;
    m_barShown = true;
}

void ProgressDisplay::note(const QString &text)
{
    endBlock();
    m_err << m_label << ": " << text << '\n' << Qt::flush;
}

void ProgressDisplay::endBlock()
{
    if (m_barShown)
        m_err << '\n' << Qt::flush;
    m_barShown = false;
}
