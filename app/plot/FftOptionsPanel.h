// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"
#include "PlotDocument.h"

#include <QWidget>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

// The FFT view's options, in one column beside the FFT graph: the data
// window, the signal bins and harmonic order of the metrics, the 0 dB
// reference, which bins to mark and the unit of the Y axis. Holds the controls and their input rules,
// writes what the user chooses into the document's options and shows the
// options the document holds.
class FftOptionsPanel : public QWidget
{
    Q_OBJECT

public:
    explicit FftOptionsPanel(PlotDocument &document, QWidget *parent = nullptr);

    // Puts the figures that the window and the bins produce right under them.
    void insertFigures(QWidget *figures);

    QRadioButton *optHighestSignal() const { return m_highestSignal; }
    QRadioButton *optFullScale0dB() const { return m_fullScale; }
    QRadioButton *optWindow(int index) const;
    QLineEdit *txtNumBins() const { return m_numBins; }
    // "Auto": the window's own signal bins (the NB field then rests).
    QCheckBox *cbAutoBins() const { return m_autoBins; }
    QLineEdit *txtNumHarm() const { return m_numHarm; }
    QCheckBox *cbDCspect() const { return m_dcSpectrum; }
    QCheckBox *cbMainLobe() const { return m_mainLobe; }
    QCheckBox *cbHarmonics() const { return m_harmonics; }
    // "Y axis": the unit of the graph's levels, in SpectrumUnit's order.
    QComboBox *cboYAxis() const { return m_yAxis; }

signals:
    // A window option or "Auto" was clicked: the levels and metrics are out of date.
    void windowClicked();
    // A reference option was clicked while selected: true for the highest signal.
    void normalizationClicked(bool highestSignal);
    // A mark box was ticked or cleared.
    void marksChanged();
    // Another unit was chosen for the Y axis.
    void unitChanged();

private:
    // Changes the document's options as change says.
    void edit(const std::function<void(DocumentOptions &)> &change);
    // Brings the controls in step with the document's options.
    void showOptions();

    PlotDocument &m_document;
    QRadioButton *m_highestSignal;
    QRadioButton *m_fullScale;
    QButtonGroup *m_windowGroup;
    std::array<QRadioButton *, FftWindows::Count> m_windowOptions{};
    QLineEdit *m_numBins;
    QCheckBox *m_autoBins;
    QLineEdit *m_numHarm;
    QCheckBox *m_dcSpectrum;
    QCheckBox *m_harmonics;
    QCheckBox *m_mainLobe;
    QComboBox *m_yAxis;
    QGroupBox *m_normalization;
    int m_figuresRow = 0; // the column's place for insertFigures
};
