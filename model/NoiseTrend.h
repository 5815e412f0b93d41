// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineLog.h"
#include "SampleBlock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <deque>
#include <optional>

// The noise of a long run, block after block: offset, RMS and peak-to-peak
// noise in microvolts of the last Capacity blocks for the trend graph, and
// optionally every row appended to a CSV log. The window's trend and the
// command-line tool's --trend share it, so both write the same rows.
class NoiseTrend
{
public:
    static constexpr std::size_t Capacity = 1000;
    static constexpr auto CsvHeader = "Timestamp,Block,Offset (uV),RMS Noise (uV),Peak-to-Peak Noise (uV)";

    struct Row {
        QDateTime time;
        qint64 block = 0;
        std::optional<double> offsetUv;
        std::optional<double> rmsNoiseUv;
        std::optional<double> ppNoiseUv;
    };

    NoiseTrend();
    ~NoiseTrend();

    // Adds the row of block, finished at time, numbered one past the previous
    // row, and appends it to the log when one is open. False with error set
    // when the log cannot be written (the log is then closed, holding whole
    // rows only; the row stays in rows()).
    bool add(const SampleBlock &block, const QDateTime &time, QString *error = nullptr);
    // The last Capacity rows, oldest first.
    const std::deque<Row> &rows() const { return m_rows; }
    // Seconds from the first row since the last clear to row.
    double secondsOf(const Row &row) const;
    // Forgets the rows (block numbers go on, so a log never repeats one).
    void clear();

    // Appends rows to the CSV file at path from now on, after the header when
    // the file is new or empty. False with error set when it cannot be opened
    // or is not a regular file.
    bool startLog(const QString &path, QString *error);
    void stopLog();
    bool logging() const { return m_log.isOpen(); }
    QString logPath() const { return m_log.path(); }

    // One CSV line without its line end: UTC timestamp in ISO 8601 with
    // milliseconds, block number, the three figures ("." decimals in every
    // locale, an empty field for a figure not computed).
    static QByteArray csvLine(const Row &row);

private:
    std::deque<Row> m_rows;
    QDateTime m_start;
    qint64 m_lastBlock = 0;
    LineLog m_log;
};
