// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FigureCatalogue.h"

#include <QJsonValue>
#include <QList>
#include <QString>

class PlotDocument;

// One figure of a block as the catalogue gives it: a JSON key, a text label
// and the value. A figure that could not be computed for the block is null in
// JSON; in the text it shows its value, or "-" when it has none (NaN). A
// yes/no figure is a JSON Boolean.
struct Figure {
    QString key;
    QString label;
    double value = 0;
    bool computed = true;
    bool yesNo = false;

    QJsonValue jsonValue() const;
    // At full double precision, "." decimals.
    QString text() const;

    // The figures of the catalogue's sections, in its order, as the
    // document's last analysis left them.
    static QList<Figure> listOf(const PlotDocument &document, FigureCatalogue::Sections sections);
};
