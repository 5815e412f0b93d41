// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SampleBlock.h"
#include "ViewAnalysis.h"

#include <QList>
#include <QStringList>
#include <QTextStream>

// The figures of analysed files as a CSV table after RFC 4180: a header row,
// one row per file, CR LF line ends, fields holding a comma, a quote or a line
// break quoted. Columns: file, device, samples, view, one per figure of the
// view (its JSON key; empty when not computed), error (empty when analysed).
// Numbers take "." whatever the locale.
class FigureTable
{
public:
    explicit FigureTable(QTextStream &out) : m_out(out) {}

    void addReport(const QString &file, const SampleBlock &block, const QString &viewName, const ViewReport &report);
    void addFailure(const QString &file, const QString &error);
    // Writes the rows still waiting for the header; call after the last file.
    void finish();

private:
    void writeHeader(const QList<Figure> &figures);
    void writeFailure(const QString &file, const QString &error);
    void writeRow(const QStringList &fields);

    QTextStream &m_out;
    // The figure columns are known from the first analysed file; failures
    // before it wait for the header (file, error).
    bool m_headerWritten = false;
    qsizetype m_figureColumns = 0;
    QList<std::pair<QString, QString>> m_waitingFailures;
};
