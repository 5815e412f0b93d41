// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteFigures.h"

#include "PlotDocument.h"
#include "ScpiResponse.h"
#include "ViewTraits.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

void RemoteFigures::setFftOptions(const DocumentOptions::Fft &options)
{
    if (options == m_fft)
        return;
    m_fft = options;
    m_figuresOf.reset();
}

const QList<Figure> &RemoteFigures::figures(const SampleBlock &block, std::uint64_t blockSerial)
{
    if (m_figuresOf == blockSerial)
        return m_figures;
    PlotDocument document;
    document.setBlock(block);
    DocumentOptions options;
    options.fft = m_fft;
    m_figures.clear();
    for (const DocumentOptions::View view : {DocumentOptions::TimeDomain, DocumentOptions::FFTPlot}) {
        options.view = view;
        document.setOptions(options);
        document.runAnalysisPass();
        m_figures += documentFigures(document, ViewTraits::of(view).figures);
    }
    m_figuresOf = blockSerial;
    return m_figures;
}

QByteArray RemoteFigures::answer(const Figure &figure)
{
    if (figure.kind == FigureCatalogue::Kind::YesNo)
        return figure.value != 0 ? "1" : "0";
    if (!figure.computed || !std::isfinite(figure.value))
        return ScpiResponse::NotANumber;
    return ScpiResponse::number(figure.value);
}

QByteArray RemoteFigures::json(const QList<Figure> &figures)
{
    QJsonObject object;
    for (const Figure &figure : figures)
        object.insert(figure.key, figure.jsonValue());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
