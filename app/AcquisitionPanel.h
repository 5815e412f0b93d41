// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoardLimits.h"

#include <QWidget>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;

// The main window's acquisition controls: board name, sample count and rate,
// single-shot or continuous mode, Acquire and Stop, and the progress bar. It
// applies the input rules of its fields within the board's limits; what the
// buttons do is the main window's.
class AcquisitionPanel : public QWidget
{
    Q_OBJECT

public:
    explicit AcquisitionPanel(QWidget *parent = nullptr);
    ~AcquisitionPanel() override;

    QLabel *lblDriver() const { return m_lblDriver; }
    QLineEdit *txtNumSamples() const { return m_txtNumSamples; }
    QScrollBar *scrNumSamples() const { return m_scrNumSamples; }
    QLineEdit *txtSampleRate() const { return m_txtSampleRate; }
    QPushButton *btnSetSampleRate() const { return m_btnSetSampleRate; }
    QRadioButton *optSingleShot() const { return m_optSingleShot; }
    QRadioButton *optContinuous() const { return m_optContinuous; }
    QPushButton *cmdAcquire() const { return m_cmdAcquire; }
    QToolButton *cmdStop() const { return m_cmdStop; }
    QProgressBar *prgAcquisitionProgress() const { return m_progress; }
    // How long an acquisition of the count at the rate in force takes.
    QLabel *lblDuration() const { return m_lblDuration; }
    // Says which count was used when the typed one was out of range.
    QLabel *lblSampleCountNote() const { return m_lblSampleCountNote; }
    void showDuration(std::int32_t samples, double rate);

    // The counts and rates the board takes (until a driver says: those a
    // driver that states none is taken to have). A rate field that still
    // shows the default rate shows the new one.
    void setLimits(const BoardLimits &limits);
    const BoardLimits &limits() const { return m_limits; }

    // The count the text stands for: the number at its start (0 when there
    // is none), rounded half to even and limited to the board's counts.
    std::int32_t sampleCount() const;
    // Applies the count rules to the text typed so far and writes the count
    // back, with a note naming the range when the text was out of it.
    // Runs on Enter, on leaving the field, on the scroll bar and before an
    // acquisition, never per keystroke, so a count can be typed digit by digit.
    void commitSampleCount();
    // The rate typed in, or nothing when the text is not a number.
    std::optional<double> sampleRate() const;
    // Shows the rate in force in the field.
    void showSampleRate(double rate);

signals:
    void sampleRateClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The scroll positions of the powers of two within the count limits.
    void setScrollRange();
    void scrNumSamples_Change(int position);
    bool txtSampleRate_KeyPress(QKeyEvent *event);

    QLabel *m_lblDriver;
    QLineEdit *m_txtNumSamples;
    QScrollBar *m_scrNumSamples;
    QLineEdit *m_txtSampleRate;
    QPushButton *m_btnSetSampleRate;
    QRadioButton *m_optSingleShot;
    QRadioButton *m_optContinuous;
    QPushButton *m_cmdAcquire;
    QToolButton *m_cmdStop;
    QProgressBar *m_progress;
    QLabel *m_lblDuration;
    QLabel *m_lblSampleCountNote;
    BoardLimits m_limits;
};
