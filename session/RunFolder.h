// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CharacterisationRun.h"
#include "PointResult.h"
#include "RunPlan.h"

#include <QDateTime>
#include <QDir>
#include <QObject>
#include <QStringList>
#include <optional>

// The folder a characterisation run is kept in: each kept block as an
// ordinary time-domain data file (ch1-avg0-rate1000-0001.csv, ...) and
// run.json, which records the plan with its FFT options, the program version,
// the start and end times and each point's figures and files. run.json is
// rewritten after every point, so a run cut short still opens. No widgets.
class RunFolder : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *RecordName = "run.json";

    // What run.json holds.
    struct Record {
        RunPlan plan;
        QList<PointResult> points;
        QString version;
        QDateTime started;
        QDateTime ended; // invalid: the run did not end (yet)
        QString ending;  // "completed", "stopped", "board gone"; empty until it ends
    };

    // Creates path for a new run; false, with the reason in *problem, when
    // it exists and is not empty, or cannot be made.
    static bool create(const QString &path, QString *problem);
    // The record of the run kept in path; nothing, with the reason, when
    // path holds none.
    static std::optional<Record> read(const QString &path, QString *problem);
    // The data file name of a point's kept block number (from 1).
    static QString blockFileName(int channel, int averaging, double rate, int number);

    // Keeps the blocks and points of run, about to run plan, in path, a
    // folder create() made. writeFailed() stops the run.
    RunFolder(const QString &path, const RunPlan &plan, CharacterisationRun &run, QObject *parent = nullptr);

    QString path() const { return m_dir.path(); }
    const Record &record() const { return m_record; }

signals:
    void writeFailed(const QString &problem);

private:
    void saveBlock(int point, int number, const SampleBlock &block);
    void addPoint(const PointResult &result);
    void end(CharacterisationRun::Ending ending);
    bool writeRecord();
    void fail(const QString &problem);

    QDir m_dir;
    CharacterisationRun &m_run;
    Record m_record;
    QStringList m_pointFiles; // of the point under way
    bool m_failed = false;
};
