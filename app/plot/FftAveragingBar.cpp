// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftAveragingBar.h"

#include "PlotDocument.h"
#include "SpectrumAverage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

FftAveragingBar::FftAveragingBar(PlotDocument &document, QWidget *parent)
    : QWidget(parent), m_document(document), m_average(new QCheckBox(QStringLiteral("Average spectra of the last"), this)),
      m_depth(new QSpinBox(this)), m_count(new QLabel(this)), m_reset(new QPushButton(QStringLiteral("Reset"), this))
{
    m_depth->setRange(SpectrumAverage::MinDepth, SpectrumAverage::MaxDepth);
    m_depth->setValue(16);
    m_depth->setSuffix(QStringLiteral(" blocks"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_average);
    layout->addWidget(m_depth);
    layout->addWidget(m_count);
    layout->addWidget(m_reset);
    layout->addStretch(1);
    m_reset->setEnabled(false);
    connect(m_average, &QCheckBox::toggled, this, [this](bool on) {
        m_reset->setEnabled(on);
        m_document.setFftAveraging(depth());
        emit averageRestarted();
    });
    connect(m_depth, &QSpinBox::valueChanged, this, [this] {
        if (m_average->isChecked()) {
            m_document.setFftAveraging(depth());
            emit averageRestarted();
        }
    });
    connect(m_reset, &QPushButton::clicked, this, [this] {
        m_document.resetFftAverage();
        emit averageRestarted();
    });
    showCount(0);
}

int FftAveragingBar::depth() const
{
    return m_average->isChecked() ? m_depth->value() : 0;
}

void FftAveragingBar::setDepth(int depth)
{
    if (depth > 0)
        m_depth->setValue(depth);
    m_average->setChecked(depth > 0);
}

void FftAveragingBar::showCount(int count)
{
    m_count->setText(m_average->isChecked() ? QStringLiteral("Averaged: %1 of %2").arg(count).arg(m_depth->value())
                                            : QString());
}
