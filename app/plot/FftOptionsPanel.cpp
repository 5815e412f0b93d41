// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftOptionsPanel.h"

#include "MetricOptions.h"
#include "NumericFieldFilter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

FftOptionsPanel::FftOptionsPanel(QWidget *parent)
    : QWidget(parent), m_highestSignal(new QRadioButton(QStringLiteral("Highest Signal Level Found"))),
      m_fullScale(new QRadioButton(QStringLiteral("Full Scale Range"))), m_windowGroup(new QButtonGroup(this)),
      m_numBins(new QLineEdit(QLatin1String(MetricOptions::NumBinsStart))),
      m_numHarm(new QLineEdit(QLatin1String(MetricOptions::NumHarmonicsStart))),
      m_dcSpectrum(new QCheckBox(QStringLiteral("DC Spectrum"))),
      m_harmonics(new QCheckBox(QStringLiteral("Harmonics"))),
      m_mainLobe(new QCheckBox(QStringLiteral("Main Lobe")))
{
    auto *outer = new QVBoxLayout(this);
    auto *frameOptions = new QGroupBox(QStringLiteral("Options"), this);
    outer->addWidget(frameOptions);
    outer->addStretch(1);
    auto *layout = new QHBoxLayout(frameOptions);

    auto *frame1 = new QGroupBox(QStringLiteral("Normalization"), this);
    auto *normalizationLayout = new QVBoxLayout(frame1);
    normalizationLayout->addWidget(new QLabel(QStringLiteral("0dB reference for FFT is:"), frame1));
    normalizationLayout->addWidget(m_highestSignal);
    normalizationLayout->addWidget(m_fullScale);
    normalizationLayout->addStretch(1);
    m_fullScale->setChecked(true);
    connect(m_highestSignal, &QRadioButton::clicked, this, [this](bool checked) {
        if (checked)
            emit normalizationClicked(true);
    });
    connect(m_fullScale, &QRadioButton::clicked, this, [this](bool checked) {
        if (checked)
            emit normalizationClicked(false);
    });

    auto *frameFft = new QGroupBox(QStringLiteral("FFT Data Window"), this);
    auto *windowLayout = new QVBoxLayout(frameFft);
    for (int i = 0; i < FftWindows::Count; ++i) {
        m_windowOptions[i] = new QRadioButton(FftWindows::caption(FftWindows::fromIndex(i)), frameFft);
        m_windowGroup->addButton(m_windowOptions[i], i);
        windowLayout->addWidget(m_windowOptions[i]);
    }
    m_windowOptions[0]->setChecked(true);

    // Frame1 and the window choice share a column: both decide the levels.
    auto *levelColumn = new QVBoxLayout;
    levelColumn->addWidget(frame1);
    levelColumn->addWidget(frameFft);
    layout->addLayout(levelColumn);

    auto *frmCalc = new QGroupBox(QStringLiteral("Calculations"), this);
    auto *calcLayout = new QFormLayout(frmCalc);
    calcLayout->addRow(QStringLiteral("Number of bins used for signal power calculation (1,3,5...51):"), m_numBins);
    calcLayout->addRow(QStringLiteral("Order of harmonics included (2...20):"), m_numHarm);
    for (QLineEdit *field : {m_numBins, m_numHarm})
        field->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    new NumericFieldFilter(m_numBins, QLatin1String(MetricOptions::NumBinsStart), &MetricOptions::numBins);
    new NumericFieldFilter(m_numHarm, QLatin1String(MetricOptions::NumHarmonicsStart), &MetricOptions::numHarmonics);

    auto *checkColumn = new QVBoxLayout;
    checkColumn->addWidget(frmCalc);

    auto *frmDisplay = new QGroupBox(QStringLiteral("Display"), this);
    auto *displayLayout = new QVBoxLayout(frmDisplay);
    displayLayout->addWidget(new QLabel(QStringLiteral("Mark bins used for:"), frmDisplay));
    displayLayout->addWidget(m_dcSpectrum);
    displayLayout->addWidget(m_harmonics);
    displayLayout->addWidget(m_mainLobe);
    checkColumn->addWidget(frmDisplay);
    checkColumn->addStretch(1);
    layout->addLayout(checkColumn, 1);
}

void FftOptionsPanel::showNormalization(bool highestSignal)
{
    (highestSignal ? m_highestSignal : m_fullScale)->setChecked(true);
}

QRadioButton *FftOptionsPanel::optWindow(int index) const
{
    return index >= 0 && index < FftWindows::Count ? m_windowOptions[index] : nullptr;
}

FftWindow FftOptionsPanel::selectedWindow() const
{
    for (int i = 0; i < FftWindows::Count; ++i)
        if (m_windowOptions[i]->isChecked())
            return FftWindows::fromIndex(i);
    return FftWindow::Rectangular;
}

int FftOptionsPanel::numBins() const
{
    return MetricOptions::numBins(m_numBins->text());
}

int FftOptionsPanel::numHarmonics() const
{
    return MetricOptions::numHarmonics(m_numHarm->text());
}

PlotDocument::FftOptions FftOptionsPanel::options() const
{
    return {selectedWindow(), numBins(), numHarmonics(),
            {m_dcSpectrum->isChecked(), m_mainLobe->isChecked(), m_harmonics->isChecked()}};
}
