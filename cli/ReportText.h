// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileLoader.h"
#include "ViewAnalysis.h"

#include <QTextStream>

// The text the tool prints for one analysed block: file, device, samples,
// view, then one "Label: value" line per figure.
namespace ReportText {

void print(QTextStream &out, const QString &fileName, const SampleBlock &block, const QString &viewName,
           const ViewReport &report);

} // namespace ReportText
