// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftOptionsPanel.h"

#include "MetricOptions.h"

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
    : QWidget(parent), m_windowGroup(new QButtonGroup(this)),
      m_numBins(new QLineEdit(QLatin1String(MetricOptions::NumBinsStart))),
      m_numHarm(new QLineEdit(QLatin1String(MetricOptions::NumHarmonicsStart))),
      m_dcSpectrum(new QCheckBox(QStringLiteral("DC Spectrum"))),
      m_harmonics(new QCheckBox(QStringLiteral("Harmonics"))),
      m_mainLobe(new QCheckBox(QStringLiteral("Main Lobe")))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *frameFft = new QGroupBox(QStringLiteral("FFT Data Window"), this);
    auto *windowLayout = new QVBoxLayout(frameFft);
    for (int i = 0; i < FftWindows::Count; ++i) {
        m_windowOptions[i] = new QRadioButton(FftWindows::caption(FftWindows::fromIndex(i)), frameFft);
        m_windowGroup->addButton(m_windowOptions[i], i);
        windowLayout->addWidget(m_windowOptions[i]);
    }
    m_windowOptions[0]->setChecked(true);
    layout->addWidget(frameFft);

    auto *frmCalc = new QGroupBox(QStringLiteral("Calculations"), this);
    auto *calcLayout = new QFormLayout(frmCalc);
    calcLayout->addRow(QStringLiteral("Number of bins used for signal power calculation (1,3,5...51):"), m_numBins);
    calcLayout->addRow(QStringLiteral("Order of harmonics included (2...20):"), m_numHarm);
    layout->addWidget(frmCalc);

    auto *frmDisplay = new QGroupBox(QStringLiteral("Display"), this);
    auto *displayLayout = new QVBoxLayout(frmDisplay);
    displayLayout->addWidget(new QLabel(QStringLiteral("Mark bins used for:"), frmDisplay));
    displayLayout->addWidget(m_dcSpectrum);
    displayLayout->addWidget(m_harmonics);
    displayLayout->addWidget(m_mainLobe);
    layout->addWidget(frmDisplay);
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
