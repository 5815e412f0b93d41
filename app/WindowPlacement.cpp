// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include "AppSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>

namespace WindowPlacement {

namespace {

const QString section = QStringLiteral("Settings");

// Title bar and borders that the window manager adds around the window.
constexpr QSize FrameAllowance(8, 40);

std::optional<float> readTwips(const char *key, bool mustBePositive)
{
    const QString text = AppSettings::read(section, QLatin1String(key), QString());
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value) || (mustBePositive && value <= 0))
        return std::nullopt;
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

QRect defaultGeometry()
{
    const double scale = pixelsPerTwip();
    QRect rect(static_cast<int>(std::lround(DefaultLeft * scale)), static_cast<int>(std::lround(DefaultTop * scale)),
               static_cast<int>(std::lround(DefaultWidth * scale)), static_cast<int>(std::lround(DefaultHeight * scale)));
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return rect;
    const QRect area = primary->availableGeometry().adjusted(0, 0, -FrameAllowance.width(), -FrameAllowance.height());
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveTo(std::clamp(rect.left(), area.left(), area.left() + area.width() - rect.width()),
                std::clamp(rect.top(), area.top(), area.top() + area.height() - rect.height()));
    return rect;
}

void restore(QWidget &window)
{
    const double scale = pixelsPerTwip();
    const QRect fallback = defaultGeometry();
    auto pixels = [scale](std::optional<float> twips, int fallbackPixels) {
        return twips ? static_cast<int>(std::lround(*twips * scale)) : fallbackPixels;
    };
    const QRect wanted(pixels(readTwips("MainLeft", false), fallback.left()),
                       pixels(readTwips("MainTop", false), fallback.top()),
                       pixels(readTwips("MainWidth", true), fallback.width()),
                       pixels(readTwips("MainHeight", true), fallback.height()));
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
