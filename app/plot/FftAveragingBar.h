// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class PlotDocument;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The FFT view's averaging controls: on or off, the number of blocks K
// averaged, the count reached and Reset. Switching, another K and Reset start
// the document's average over.
class FftAveragingBar : public QWidget
{
    Q_OBJECT

public:
    explicit FftAveragingBar(PlotDocument &document, QWidget *parent = nullptr);

    // K while averaging is on, 0 while it is off.
    int depth() const;
    void setDepth(int depth);
    void showCount(int count);

    QCheckBox *cbAverage() const { return m_average; }
    QSpinBox *depthField() const { return m_depth; }
    QPushButton *btnReset() const { return m_reset; }

signals:
    // The average starts over with the block on show.
    void averageRestarted();

private:
    PlotDocument &m_document;
    QCheckBox *m_average;
    QSpinBox *m_depth;
    QLabel *m_count;
    QPushButton *m_reset;
};
