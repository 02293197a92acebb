#include "app/screen_fit.h"

#include <QByteArray>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orbino {

namespace {
// Room the window manager's title bar and frame take, in logical pixels.
constexpr int kTitleRoom = 30;
// How much larger than the layout a screen must be before the window grows
// and centres the layout, rather than keeping the designed size.
constexpr int kMuchLarger = 40;
bool g_zoomed = false;
} // namespace

QSize designedScreenSize(QSize logical, bool zoomed) {
    // The layout of the larger screens still holds at 800 x 600; below that
    // the 1024-pixel layout is scrolled.
    if (logical.width() < 800 || logical.height() < 600)
        return {1024, 768};
    if (logical.width() == 1024 || (zoomed && logical.width() < 1024))
        return {1024, std::max(logical.height(), 768)};
    if (zoomed)
        return {logical.width(), std::max(logical.height(), 768)};
    return {std::min(logical.width(), 1280), std::min(logical.height(), 1024)};
}

double zoomForMonitor(QSize pixels) {
    if (pixels.width() <= 0 || pixels.height() <= 0)
        return 1.0;
    const double fit = std::min(pixels.width() / 1024.0, pixels.height() / 768.0);
    return std::max(1.0, std::floor(fit * 32.0) / 32.0);
}

double applyScreenZoom(QSize monitor) {
    const QByteArray asked = qgetenv("ORBINO_ZOOM").trimmed().toLower();
    if (asked == "off" || asked == "0" || asked == "no")
        return 0;
    double zoom = 0;
    if (!asked.isEmpty()) {
        bool ok = false;
        zoom = asked.toDouble(&ok);
        if (!ok || !(zoom >= 1.0 && zoom <= 8.0))
            zoom = 0;
    }
    if (zoom == 0) {
        if (monitor.isEmpty())
            return 0;
        zoom = zoomForMonitor(monitor);
    }
    // The platform's own factor (from Xft.dpi or the desktop) would multiply
    // the zoom, and a font DPI other than 96 would make text larger than the
    // layout around it: the zoom alone scales, text included.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    qunsetenv("QT_USE_PHYSICAL_DPI");
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_SCALE_FACTOR", QByteArray::number(zoom, 'g', 8));
    g_zoomed = true;
    return zoom;
}

bool screenZoomed() {
    return g_zoomed;
}

QRect windowOnScreen(const QRect& design, const QRect& available) {
    if (!available.isValid() || available.isEmpty())
        return design;
    const QRect placed = design.translated(available.topLeft());
    const bool fits = placed.right() <= available.right() &&
                      placed.bottom() + kTitleRoom <= available.bottom() + 1;
    const bool muchLarger = available.width() - 10 > design.width() + kMuchLarger ||
                            available.height() - 40 > design.height() + kMuchLarger;
    if (fits && !muchLarger)
        return placed;
    return QRect(available.x() + 5, available.y() + 5, std::max(available.width() - 10, 100),
                 std::max(available.height() - 40, 100));
}

namespace {
QFont sized(const QFont& font, qreal points, qreal pixels) {
    QFont f(font);
    if (points > 0)
        f.setPointSizeF(points);
    else
        f.setPixelSize(std::max(1, qRound(pixels)));
    return f;
}
} // namespace

CaptionFit fitCaption(const QFont& font, const QString& text, QSize room) {
    constexpr int kOneLine = Qt::TextSingleLine | Qt::TextShowMnemonic;
    constexpr int kWrapped = Qt::TextWordWrap | Qt::TextShowMnemonic;
    const auto width = [&](const QFont& f) {
        return QFontMetricsF(f).size(kOneLine, text).width();
    };
    if (text.isEmpty() || room.width() <= 0 || width(font) <= room.width())
        return {font, false, true};
    const qreal points = font.pointSizeF();
    const qreal pixels = font.pixelSize();
    const qreal full = points > 0 ? points : pixels;
    // Half a point (or a pixel) at a time: a few steps at most.
    const qreal step = points > 0 ? 0.5 : 1.0;
    const qreal least = full * 0.75;
    for (qreal s = full - step; s >= least - 1e-9; s -= step) {
        const QFont f = sized(font, points > 0 ? s : 0, points > 0 ? 0 : s);
        if (width(f) <= room.width())
            return {f, false, true};
    }
    // Two lines, largest size first, where the words break and the room is
    // tall enough.
    for (qreal s = full; s >= least - 1e-9; s -= step) {
        const QFont f = sized(font, points > 0 ? s : 0, points > 0 ? 0 : s);
        const QRectF r =
            QFontMetricsF(f).boundingRect(QRectF(0, 0, room.width(), 1e6), kWrapped, text);
        if (r.width() <= room.width() && r.height() <= room.height())
            return {f, true, true};
    }
    // A caption without spaces to break at shrinks further, to 60%.
    const qreal last = full * 0.6;
    for (qreal s = least - step; s >= last - 1e-9; s -= step) {
        const QFont f = sized(font, points > 0 ? s : 0, points > 0 ? 0 : s);
        if (width(f) <= room.width())
            return {f, false, true};
    }
    return {sized(font, points > 0 ? last : 0, points > 0 ? 0 : last), false, false};
}

} // namespace orbino
