// SPDX-License-Identifier: GPL-3.0-or-later
// kz-render-icon SVG SIZE OUT.png: renders the program's icon at one size for
// the icon theme, so the pictures are always drawn from the one SVG source.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // No application object: drawing an SVG without text into an image needs
    // neither a display nor fonts.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    bool sizeOk = false;
    const int size = arguments.value(2).toInt(&sizeOk);
    QTextStream err(stderr);
    if (arguments.size() != 4 || !sizeOk || size < 1) {
        err << "usage: kz-render-icon SVG SIZE OUT.png\n";
        return 2;
    }
    QSvgRenderer svg(arguments.at(1));
    if (!svg.isValid()) {
        err << "kz-render-icon: cannot read " << arguments.at(1) << '\n';
        return 1;
    }
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!picture.save(arguments.at(3), "PNG")) {
        err << "kz-render-icon: cannot write " << arguments.at(3) << '\n';
        return 1;
    }
    return 0;
}
