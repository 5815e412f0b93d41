// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockLoading.h"

#include <QFileInfo>

std::optional<SampleBlock> loadTimeDomainBlock(const QString &file, const char *command, QTextStream &err)
{
    DataFileLoader::Result loaded = DataFileLoader::loadFile(file);
    switch (loaded.outcome) {
    case DataFileLoader::Outcome::Loaded:
        return std::move(loaded.block);
    case DataFileLoader::Outcome::NoMarker:
        err << "kz7305evm-cli " << command << ": \"" << QFileInfo(file).fileName()
            << "\" holds no \"Sample Points:\" line: not a time-domain data file\n";
        break;
    case DataFileLoader::Outcome::Refused:
    case DataFileLoader::Outcome::Failed:
        err << "kz7305evm-cli " << command << ": " << loaded.message << '\n';
        break;
    }
    return std::nullopt;
}
