// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportText.h"

#include "TerminalText.h"

void ReportText::print(QTextStream &out, const QString &fileName, const SampleBlock &block,
                       const QString &viewName, const ViewReport &report)
{
    out << "File: " << TerminalText::printable(fileName) << '\n'
        << "Device: " << TerminalText::printable(block.deviceId) << '\n'
        << "Samples: " << block.samples.size() << '\n'
        << "View: " << viewName << '\n';
    for (const Figure &figure : report.figures)
        out << figure.label << ": " << figure.text() << '\n';
}
