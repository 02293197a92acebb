#include "app/screen_fit.h"

#include <algorithm>

namespace orbino {

namespace {
// Room the window manager's title bar and frame take, in logical pixels.
constexpr int kTitleRoom = 30;
// How much larger than the layout a screen must be before the window grows
// and centres the layout, rather than keeping the designed size.
constexpr int kMuchLarger = 40;
} // namespace

QSize designedScreenSize(QSize logical) {
    // The layout of the larger screens still holds at 800 x 600; below that
    // the 1024-pixel layout is scrolled.
    if (logical.width() < 800 || logical.height() < 600)
        return {1024, 768};
    if (logical.width() == 1024)
        return {1024, std::max(logical.height(), 768)};
    return {std::min(logical.width(), 1280), std::min(logical.height(), 1024)};
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

} // namespace orbino
