// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockLoading.h"

#include <QFileInfo>

std::variant<SampleBlock, QString> loadTimeDomainBlock(const QString &file)
{
    DataFileLoader::Result loaded = DataFileLoader::loadFile(file);
    switch (loaded.outcome) {
    case DataFileLoader::Outcome::Loaded:
        return std::move(loaded.block);
    case DataFileLoader::Outcome::NoMarker:
        return QStringLiteral("\"%1\" holds no \"Sample Points:\" line: not a time-domain data file")
            .arg(QFileInfo(file).fileName());
    case DataFileLoader::Outcome::Refused:
    case DataFileLoader::Outcome::Failed:
        break;
    }
    return loaded.message;
}
