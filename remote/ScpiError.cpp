// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiError.h"

QString ScpiError::text(int code)
{
    switch (code) {
    case NoError: return QStringLiteral("No error");
    case CommandError: return QStringLiteral("Command error");
    case SyntaxError: return QStringLiteral("Syntax error");
    case ParameterNotAllowed: return QStringLiteral("Parameter not allowed");
    case MissingParameter: return QStringLiteral("Missing parameter");
    case UndefinedHeader: return QStringLiteral("Undefined header");
    case InitIgnored: return QStringLiteral("Init ignored");
    case DataOutOfRange: return QStringLiteral("Data out of range");
    case TooMuchData: return QStringLiteral("Too much data");
    case IllegalParameterValue: return QStringLiteral("Illegal parameter value");
    case DataStale: return QStringLiteral("Data stale");
    case HardwareError: return QStringLiteral("Hardware error");
    case FileNameError: return QStringLiteral("File name error");
    case QueueOverflow: return QStringLiteral("Queue overflow");
    }
    return QStringLiteral("Error");
}

QByteArray ScpiErrorEntry::text() const
{
    QString message = ScpiError::text(code);
    if (!detail.isEmpty())
        message += QLatin1Char(';') + detail;
    // A quote inside a string is written twice.
    message.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QByteArray::number(code) + ",\"" + message.toUtf8() + '"';
}
