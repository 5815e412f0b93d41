// SPDX-License-Identifier: GPL-3.0-or-later
#include "linkTiming.h"

#include <QString>
#include <QStringList>

linkTiming linkTiming::fromEnvironment()
{
    linkTiming timing;
    const QString given = qEnvironmentVariable("KZ7305EVM_TEST_LINK_TIMING");
    const std::pair<const char *, int *> fields[] = {
        {"response", &timing.responseMs},     {"stall", &timing.stallMs},
        {"pause", &timing.transmitPauseMs},   {"guard", &timing.guardQuietMs},
        {"guardlimit", &timing.guardLimitMs}, {"late", &timing.lateAnswerMs},
    };
    for (const QString &entry : given.split(u',', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u'=', 0, 0).trimmed();
        bool isNumber = false;
        const int ms = entry.section(u'=', 1).trimmed().toInt(&isNumber);
        for (const auto &[fieldName, field] : fields) {
            if (isNumber && ms > 0 && name == QLatin1String(fieldName))
                *field = ms;
        }
    }
    return timing;
}
