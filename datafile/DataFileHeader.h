// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// The six lines every data file starts with: the block's parameters.
struct DataFileHeader {
    QString deviceId;
    QDateTime created;
    int numBits = 0;
    double lsbSize = 0;
    std::int32_t numPoints = 0;
    double sampleFreq = 1.0;
    // Line 1 of the file read was not UTF-8: it is Latin-1, and written back so.
    bool deviceIdIsLatin1 = false;

    // The "Created:" time in the user's short date and long time formats.
    static QString createdText(const QDateTime &when);
};
