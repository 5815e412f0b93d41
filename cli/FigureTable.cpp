// SPDX-License-Identifier: GPL-3.0-or-later
#include "FigureTable.h"

#include "CsvRow.h"
#include "TerminalText.h"

void FigureTable::addReport(const QString &file, const SampleBlock &block, const QString &viewName,
                            const ViewReport &report)
{
    if (!m_headerWritten)
        writeHeader(report.figures);
    QStringList fields{file, block.deviceId, QString::number(block.samples.size()), viewName};
    for (const Figure &figure : report.figures)
        fields << (figure.computed ? figure.text() : QString());
    fields << QString();
    writeRow(fields);
}

void FigureTable::addFailure(const QString &file, const QString &error)
{
    if (m_headerWritten)
        writeFailure(file, error);
    else
        m_waitingFailures.append({file, error});
}

void FigureTable::finish()
{
    if (!m_headerWritten)
        writeHeader({});
}

void FigureTable::writeHeader(const QList<Figure> &figures)
{
    QStringList fields{QStringLiteral("file"), QStringLiteral("device"), QStringLiteral("samples"),
                       QStringLiteral("view")};
    for (const Figure &figure : figures)
        fields << figure.key;
    fields << QStringLiteral("error");
    writeRow(fields);
    m_headerWritten = true;
    m_figureColumns = figures.size();
    for (const auto &[file, error] : std::as_const(m_waitingFailures))
        writeFailure(file, error);
    m_waitingFailures.clear();
}

void FigureTable::writeFailure(const QString &file, const QString &error)
{
    // file, device, samples, view, the figures, error
    QStringList fields(4 + m_figureColumns + 1);
    fields.first() = file;
    fields.last() = error;
    writeRow(fields);
}

void FigureTable::writeRow(const QStringList &fields)
{
    QStringList printable;
    printable.reserve(fields.size());
    for (const QString &field : fields)
        printable << TerminalText::printable(field);
    m_out << CsvRow::line(printable);
}
