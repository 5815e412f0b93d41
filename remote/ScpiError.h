// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The standard error numbers the remote control reports, and one entry of its
// error queue as SYSTem:ERRor? reads it.
namespace ScpiError {

enum Code : int {
    NoError = 0,
    CommandError = -100,
    SyntaxError = -102,
    ParameterNotAllowed = -108,
    MissingParameter = -109,
    UndefinedHeader = -113,
    InitIgnored = -213,
    DataOutOfRange = -222,
    TooMuchData = -223,
    IllegalParameterValue = -224,
    DataStale = -230,
    HardwareError = -240,
    FileNameError = -257,
    QueueOverflow = -350,
};

// The standard text of code, "Undefined header".
QString text(int code);

} // namespace ScpiError

// An error as the queue holds it: its number and, after the standard text, what
// went wrong in this case (may be empty).
struct ScpiErrorEntry {
    int code = ScpiError::NoError;
    QString detail;

    // -113,"Undefined header" or -240,"Hardware error;the board did not answer".
    QByteArray text() const;
};
