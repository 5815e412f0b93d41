// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's data-file commands; the document composes the files and
// the widget-free loader reads them.
#include "frmPlot.h"

#include "DataFileLoader.h"
#include "DataFileWriter.h"
#include "FileDialogs.h"
#include "RecentFiles.h"
#include "UserMessage.h"
#include "ViewTraits.h"

#include <QDir>
#include <QFileInfo>

void frmPlot::SaveData()
{
    const ViewTraits &view = ViewTraits::of(m_document.view());
    if (view.saveCaution && !UserMessage::confirm(this, QString::fromLatin1(view.saveCaution)))
        return;
    const QString path = FileDialogs::getSaveFileName(this, QString::fromLatin1(view.saveTitle));
    if (path.isEmpty())
        return;
    QString error;
    if (!DataFileWriter::save(path, m_document.dataFileContent(QDateTime::currentDateTime()), &error)) {
        UserMessage::show(this, error);
        return;
    }
    if (!view.saveCaution)
        RecentFiles::add(path); // only files without the caution can be opened again
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
