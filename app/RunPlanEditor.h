// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunPlan.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The fields of a characterisation run's plan, with the run's estimated
// duration under them.
class RunPlanEditor : public QWidget
{
    Q_OBJECT

public:
    explicit RunPlanEditor(QWidget *parent = nullptr);

    void setPlan(const RunPlan &plan);
    // The plan the fields give; nothing, with what is wrong, when a list
    // does not read.
    std::optional<RunPlan> plan(QString *problem = nullptr) const;

signals:
    void planChanged();

private:
    void showEstimate();

    QList<QCheckBox *> m_channels;
    QLineEdit *m_averaging;
    QLineEdit *m_rates;
    QDoubleSpinBox *m_vref;
    QSpinBox *m_samples;
    QSpinBox *m_blocks;
    QSpinBox *m_settle;
    QComboBox *m_figures;
    QComboBox *m_window;
    QSpinBox *m_bins; // its lowest value reads "Auto"
    QSpinBox *m_harmonics;
    QCheckBox *m_normalize;
    QLabel *m_estimate;
};
