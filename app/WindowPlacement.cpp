// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include "AppSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace WindowPlacement {

namespace {

const QString section = QStringLiteral("Settings");

float readTwips(const char *key, float defaultValue, bool mustBePositive)
{
    const QString text = AppSettings::read(section, QLatin1String(key), QString::number(defaultValue));
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value) || (mustBePositive && value <= 0))
        return defaultValue;
    return value;
}

void writeTwips(const char *key, double pixels)
{
    const auto twips = static_cast<float>(pixels / pixelsPerTwip());
    AppSettings::write(section, QLatin1String(key), QString::number(twips, 'g', 7));
}

// Keeps the window's top-left corner on a screen and the window no larger than it.
QRect ontoScreen(QRect rect)
{
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(rect.topLeft()))
            return rect;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return rect;
    const QRect area = primary->availableGeometry();
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveTopLeft(area.topLeft());
    return rect;
}

} // namespace

double pixelsPerTwip()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi / 1440.0;
}

void restore(QWidget &window)
{
    const double scale = pixelsPerTwip();
    const float left = readTwips("MainLeft", DefaultLeft, false);
    const float top = readTwips("MainTop", DefaultTop, false);
    const float width = readTwips("MainWidth", DefaultWidth, true);
    const float height = readTwips("MainHeight", DefaultHeight, true);
    const QRect wanted(static_cast<int>(std::lround(left * scale)), static_cast<int>(std::lround(top * scale)),
                       static_cast<int>(std::lround(width * scale)), static_cast<int>(std::lround(height * scale)));
    const QRect placed = ontoScreen(wanted);
    window.move(placed.topLeft());
    window.resize(placed.size());
}

void save(const QWidget &window)
{
    if (window.isMinimized())
        return;
    writeTwips("MainLeft", window.pos().x());
    writeTwips("MainTop", window.pos().y());
    writeTwips("MainWidth", window.width());
    writeTwips("MainHeight", window.height());
}

} // namespace WindowPlacement
