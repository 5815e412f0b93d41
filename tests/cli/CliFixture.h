// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliRun.h"
#include "DataFileWriter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <utility>
#include <vector>

// What the tests of the tool's analysis share: a folder of data files (a
// ramp, a tone, a tone under a name a CSV field must quote, a file that is no
// data file), runs of the real tool, and readers of what it writes.
class CliFixture
{
protected:
    using Run = CliRun;

    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    static Run run(const QStringList &arguments) { return runCli(arguments); }

    static QJsonObject json(const Run &result)
    {
        return QJsonDocument::fromJson(result.out).object();
    }

    // The records of RFC 4180 text: CR LF line ends, quoted fields with
    // doubled quotes. A last line without CR LF is not a record.
    static QList<QStringList> csvRecords(const QString &text)
    {
        QList<QStringList> records;
        QStringList record;
        QString field;
        bool quoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (quoted && c == QLatin1Char('"') && text.mid(i, 2) == QLatin1String("\"\"")) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = !quoted;
            } else if (!quoted && c == QLatin1Char(',')) {
                record << std::exchange(field, QString());
            } else if (!quoted && text.mid(i, 2) == QLatin1String("\r\n")) {
                record << std::exchange(field, QString());
                records << std::exchange(record, QStringList());
                ++i;
            } else {
                field += c;
            }
        }
        return records;
    }

    void writeTimeFile(const char *name, const std::vector<std::int32_t> &samples, int numBits = 24,
                       double sampleFreq = 48000)
    {
        const DataFileHeader header{QStringLiteral("Scripted"), QDateTime::currentDateTime(), numBits,
                                    5.0 / 16777216.0, static_cast<std::int32_t>(samples.size()), sampleFreq};
        QVERIFY(DataFileWriter::save(path(name), DataFileWriter::timeDomain(header, {}, samples), nullptr));
    }

    // 4096 samples: a tone on bin 67 with a second harmonic 46 dB down.
    static std::vector<std::int32_t> tone()
    {
        std::vector<std::int32_t> samples(4096);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = 2 * M_PI * static_cast<double>(i) / 4096.0;
            samples[i] = static_cast<std::int32_t>(std::lround(4000000 * std::sin(67 * t) + 20000 * std::sin(134 * t)
                                                               + 50 * std::sin(static_cast<double>(i) * 1.37)));
        }
        return samples;
    }

    void writeCommonFiles()
    {
        writeTimeFile("ramp.csv", {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        writeTimeFile("tone.csv", tone());
        // A name a CSV field must quote, and a file that is no data file.
        writeTimeFile("tone, \"copy\".csv", tone());
        QFile notes(path("notes.csv"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("Nothing measured today\r\n");
    }
};
