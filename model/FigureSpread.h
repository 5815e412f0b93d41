// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DocumentFigures.h"

#include <QList>
#include <QString>
#include <optional>

// The figures of several blocks taken at one setting, summed up: for each
// numeric figure its mean, minimum and maximum over the blocks that computed
// it (none: the figure stays uncomputed), and how many blocks found a tone.
class FigureSpread
{
public:
    struct Summary {
        QString key;
        int computedBlocks = 0; // 0: no block computed it
        double mean = 0;
        double min = 0;
        double max = 0;
    };

    // One block's figures; every block gives the same keys in the same order.
    void add(const QList<Figure> &figures);

    int blocks() const { return m_blocks; }
    // How many blocks found a tone; none when the figures say nothing of tones.
    std::optional<int> toneBlocks() const { return m_toneBlocks; }
    QList<Summary> summaries() const;

    // The yes/no figure that says a block holds a tone.
    static constexpr const char *ToneFoundKey = "tone_found";

private:
    struct Sum {
        QString key;
        int count = 0;
        double total = 0;
        double min = 0;
        double max = 0;
    };
    QList<Sum> m_sums;
    int m_blocks = 0;
    std::optional<int> m_toneBlocks;
};
