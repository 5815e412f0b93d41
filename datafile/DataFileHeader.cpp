// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileHeader.h"

#include <QLocale>

QString DataFileHeader::createdText(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The long time format may end in a time-zone name, which a file's reader
    // does not need: keep hours, minutes and seconds.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(when.time(), timeFormat.trimmed());
}
