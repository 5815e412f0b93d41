// SPDX-License-Identifier: GPL-3.0-or-later
#include "RememberedSettings.h"

#include "AcquisitionPanel.h"
#include "AppSettings.h"
#include "FftWindow.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"
#include "frmPlot.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <functional>

namespace {

const QString Board = QStringLiteral("Board");
const QString Acquisition = QStringLiteral("Acquisition");
const QString PlotSection = QStringLiteral("Plot");

// One stored choice: how to write it, and how to take it back (false when the
// text is refused).
struct Choice {
    QString section;
    QString key;
    std::function<QString()> value;
    std::function<bool(const QString &)> apply;
};

std::optional<int> intIn(const QString &text, int low, int high)
{
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (!isNumber || value < low || value > high)
        return std::nullopt;
    return value;
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// A "0" or "1" into a check box or option.
Choice checkChoice(const QString &key, QAbstractButton *box)
{
    return {PlotSection, key, [box] { return flag(box->isChecked()); }, [box](const QString &text) {
                const auto on = intIn(text, 0, 1);
                if (on)
                    box->setChecked(*on == 1);
                return on.has_value();
            }};
}

// The index of the checked option among count, into the same option.
Choice optionChoice(const QString &key, int count, const std::function<QAbstractButton *(int)> &option)
{
    return {PlotSection, key,
            [count, option] {
                for (int i = 0; i < count; ++i)
                    if (option(i)->isChecked())
                        return QString::number(i);
                return QString();
            },
            [count, option](const QString &text) {
                const auto index = intIn(text, 0, count - 1);
                if (index)
                    option(*index)->setChecked(true);
                return index.has_value();
            }};
}

Choice styleChoice(frmPlot &plot, PlotDocument::View view, const QString &name)
{
    return {PlotSection, name + QStringLiteral("Style"),
            [&plot, view] {
                const ViewGraph::Style style = plot.graphStyle(view);
                return QStringLiteral("%1,%2,%3").arg(style.method).arg(style.pointType).arg(style.lineType);
            },
            [&plot, view](const QString &text) {
                const QStringList parts = text.split(QLatin1Char(','));
                if (parts.size() != 3)
                    return false;
                const auto method = intIn(parts[0], 0, 1000);
                const auto point = intIn(parts[1], 0, 100);
                const auto line = intIn(parts[2], 0, 100);
                if (!method || !point || !line)
                    return false;
                plot.setGraphStyle(view, {*method, static_cast<std::int16_t>(*point), static_cast<std::int16_t>(*line)});
                return true;
            }};
}

QList<Choice> panelChoices(AcquisitionPanel &panel)
{
    return {{Acquisition, QStringLiteral("Samples"), [&panel] { return QString::number(panel.sampleCount()); },
             [&panel](const QString &text) {
                 const auto count = intIn(text, panel.limits().minSamples, panel.limits().maxSamples);
                 if (count)
                     panel.txtNumSamples()->setText(QString::number(*count));
                 return count.has_value();
             }},
            {Acquisition, QStringLiteral("SampleRate"), [&panel] { return panel.txtSampleRate()->text(); },
             [&panel](const QString &text) {
                 bool isNumber = false;
                 const double rate = text.toDouble(&isNumber);
                 if (!isNumber || !(rate > 0))
                     return false;
                 panel.txtSampleRate()->setText(text);
                 return true;
             }},
            {Acquisition, QStringLiteral("Continuous"), [&panel] { return flag(panel.optContinuous()->isChecked()); },
             [&panel](const QString &text) {
                 const auto on = intIn(text, 0, 1);
                 if (on)
                     (*on ? panel.optContinuous() : panel.optSingleShot())->setChecked(true);
                 return on.has_value();
             }}};
}

QList<Choice> plotChoices(frmPlot &plot)
{
    return {optionChoice(QStringLiteral("Window"), FftWindows::Count, [&plot](int i) { return plot.optWindow(i); }),
            {PlotSection, QStringLiteral("NormalizeFFT"), [&plot] { return flag(plot.NormalizeFFT()); },
             [&plot](const QString &text) {
                 const auto on = intIn(text, 0, 1);
                 if (on)
                     plot.setNormalizeFFT(*on == 1);
                 return on.has_value();
             }},
            {PlotSection, QStringLiteral("NumBins"), [&plot] { return plot.txtNumBins()->text(); },
             [&plot](const QString &text) {
                 const auto bins = intIn(text, 1, 51);
                 if (bins && *bins % 2 == 1)
                     plot.txtNumBins()->setText(text);
                 return bins && *bins % 2 == 1;
             }},
            {PlotSection, QStringLiteral("NumHarmonics"), [&plot] { return plot.txtNumHarm()->text(); },
             [&plot](const QString &text) {
                 const auto harmonics = intIn(text, 2, 20);
                 if (harmonics)
                     plot.txtNumHarm()->setText(text);
                 return harmonics.has_value();
             }},
            checkChoice(QStringLiteral("AutoBins"), plot.cbAutoBins()),
            checkChoice(QStringLiteral("MarkDCSpectrum"), plot.cbDCspect()),
            checkChoice(QStringLiteral("MarkMainLobe"), plot.cbMainLobe()),
            checkChoice(QStringLiteral("MarkHarmonics"), plot.cbHarmonics()),
            optionChoice(QStringLiteral("DataFormat"), 4, [&plot](int i) { return plot.optDataFormat(i); }),
            styleChoice(plot, PlotDocument::TimeDomain, QStringLiteral("TimeDomain")),
            styleChoice(plot, PlotDocument::FFTPlot, QStringLiteral("FFT")),
            styleChoice(plot, PlotDocument::Histogram, QStringLiteral("Histogram")),
            // Last: showing the view runs the analysis with the options above.
            {PlotSection, QStringLiteral("View"), [&plot] { return QString::number(plot.currentView()); },
             [&plot](const QString &text) {
                 const auto view = intIn(text, PlotDocument::TimeDomain, PlotDocument::DataList);
                 if (view)
                     plot.selectTab(*view - 1);
                 return view.has_value();
             }}};
}

QString refusalNote(const QString &section, const QString &key, const QString &text)
{
    return QStringLiteral("Stored setting %1/%2 \"%3\" refused: default kept").arg(section, key, text);
}

QStringList restore(const QList<Choice> &choices)
{
    QStringList notes;
    for (const Choice &choice : choices) {
        const QString text = AppSettings::read(choice.section, choice.key, QString());
        if (!text.isEmpty() && !choice.apply(text))
            notes << refusalNote(choice.section, choice.key, text);
    }
    return notes;
}

void store(const QList<Choice> &choices)
{
    for (const Choice &choice : choices)
        AppSettings::write(choice.section, choice.key, choice.value());
}

} // namespace

namespace RememberedSettings {

QStringList restoreWindow(AcquisitionPanel &panel, frmPlot &plot)
{
    return restore(panelChoices(panel) + plotChoices(plot));
}

QStringList restoreDriver(NuvarDriverClass &driver)
{
    auto *settings = dynamic_cast<NuvarDriverSettings *>(&driver);
    if (!settings)
        return {};
    QStringList notes;
    for (const QString &name : settings->SettingNames()) {
        const QString text = AppSettings::read(Board, name, QString());
        bool taken = false;
        try {
            taken = text.isEmpty() || settings->setSettingValue(name, text);
        } catch (const std::exception &) {
            // A driver that throws instead of answering false refuses as well.
        }
        if (!taken)
            notes << refusalNote(Board, name, text);
    }
    return notes;
}

void save(AcquisitionPanel &panel, frmPlot *plot, NuvarDriverClass *driver)
{
    store(panelChoices(panel));
    if (plot)
        store(plotChoices(*plot));
    if (auto *settings = dynamic_cast<NuvarDriverSettings *>(driver)) {
        for (const QString &name : settings->SettingNames())
            AppSettings::write(Board, name, settings->SettingValue(name));
    }
}

} // namespace RememberedSettings
