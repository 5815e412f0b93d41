// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DocumentFigures.h"
#include "DocumentOptions.h"
#include "SampleBlock.h"

#include <QByteArray>
#include <QList>
#include <optional>

// The remote control's own analysis: its FFT options, apart from the
// window's, and the figures of the time and FFT views of a block as the
// command-line tool's analyze computes them, kept until the block or an
// option changes.
class RemoteFigures
{
public:
    const DocumentOptions::Fft &fftOptions() const { return m_fft; }
    void setFftOptions(const DocumentOptions::Fft &options);
    void reset() { setFftOptions({}); }

    // The figures of block: the time view's, then the FFT view's.
    const QList<Figure> &figures(const SampleBlock &block, std::uint64_t blockSerial);
    // One figure as SCPI answers it: the number, 1 or 0 for yes or no, and
    // 9.91E37 where it is not computed.
    static QByteArray answer(const Figure &figure);
    // All figures as one compact JSON object.
    static QByteArray json(const QList<Figure> &figures);

private:
    DocumentOptions::Fft m_fft;
    QList<Figure> m_figures;
    std::optional<std::uint64_t> m_figuresOf; // the block serial they belong to
};
