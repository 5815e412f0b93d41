// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's data-file commands; the document composes the files and
// the widget-free loader reads them.
#include "frmPlot.h"

#include "DataFileLoader.h"
#include "DataFileWriter.h"
#include "FileDialogs.h"
#include "RecentFiles.h"
#include "UserMessage.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char *cautionText(std::int16_t view)
{
    switch (view) {
    case frmPlot::FFTPlot:
        return "Caution: This program cannot open FFT data files - remember to save time domain data.";
    case frmPlot::Histogram:
        return "Caution: This program cannot open histogram data files - remember to save time domain data.";
    case frmPlot::DataList:
        return "Caution: This program cannot open data list files - remember to save time domain data.";
    default:
        return nullptr;
    }
}

const char *saveTitle(std::int16_t view)
{
    switch (view) {
    case frmPlot::FFTPlot:
        return "Save FFT Data";
    case frmPlot::Histogram:
        return "Save Histogram Data";
    default:
        return "Save Time Domain Data";
    }
}

} // namespace

void frmPlot::SaveData()
{
    if (const char *caution = cautionText(currentView()))
        if (!UserMessage::confirm(this, QString::fromLatin1(caution)))
            return;
    const QString path = FileDialogs::getSaveFileName(this, QString::fromLatin1(saveTitle(currentView())));
    if (path.isEmpty())
        return;
    QString error;
    if (!DataFileWriter::save(path, m_document.dataFileContent(QDateTime::currentDateTime()), &error)) {
        UserMessage::show(this, error);
        return;
    }
    if (currentView() == TimeDomain)
        RecentFiles::add(path); // only time-domain files can be opened again
    emit commandDone(QStringLiteral("Saved %1").arg(QDir::toNativeSeparators(path)));
}

void frmPlot::OpenFile()
{
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("Open Data File"));
    if (!path.isEmpty())
        openFile(path);
}

QString frmPlot::fileName() const
{
    const QString &file = m_document.block().source.file;
    return file.isEmpty() ? QString() : QFileInfo(file).fileName();
}

void frmPlot::openFile(const QString &path)
{
    DataFileLoader::Result result = DataFileLoader::loadFile(path);
    switch (result.outcome) {
    case DataFileLoader::Outcome::Loaded:
        setBlock(result.block);
        m_document.setDataReady(true);
        emit dataLoaded();
        RecentFiles::add(path);
        showView(TimeDomain);
        break;
    case DataFileLoader::Outcome::NoMarker:
        break;
    case DataFileLoader::Outcome::Refused:
    case DataFileLoader::Outcome::Failed:
        UserMessage::show(this, result.message);
        break;
    }
}
