// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewReferences.h"

#include <QFileInfo>

namespace {

bool isGraphView(PlotDocument::View view)
{
    return view >= PlotDocument::TimeDomain && view <= PlotDocument::Histogram;
}

std::size_t indexOf(PlotDocument::View view)
{
    return static_cast<std::size_t>(view - PlotDocument::TimeDomain);
}

} // namespace

const ViewReference *ViewReferences::of(View view) const
{
    if (!isGraphView(view))
        return nullptr;
    const std::optional<ViewReference> &reference = m_references[indexOf(view)];
    return reference ? &*reference : nullptr;
}

bool ViewReferences::hold(const PlotDocument &document)
{
    std::optional<ViewReference> held = ViewReference::hold(document, QDateTime::currentDateTime());
    if (!held)
        return false;
    m_references[indexOf(held->view())] = std::move(held);
    return true;
}

void ViewReferences::clear(View view)
{
    if (isGraphView(view))
        m_references[indexOf(view)].reset();
}

bool ViewReferences::save(View view, const QString &path, QString *message) const
{
    const ViewReference *reference = of(view);
    if (!reference) {
        *message = QStringLiteral("There is no reference to save in this view.");
        return false;
    }
    return DataFileWriter::save(path, reference->dataFileContent(QDateTime::currentDateTime()), message);
}

std::optional<PlotDocument::View> ViewReferences::load(const QString &path, QString *message)
{
    const GraphFileReader::Result file = GraphFileReader::loadFile(path);
    if (file.outcome != DataFileLoader::Outcome::Loaded) {
        *message = file.message;
        return std::nullopt;
    }
    ViewReference reference = ViewReference::fromFile(file, QFileInfo(path).fileName());
    const View view = reference.view();
    m_references[indexOf(view)] = std::move(reference);
    return view;
}
