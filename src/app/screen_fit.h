#pragma once
// How the designed layouts meet real screens. The layouts are computed for
// the screen sizes they were designed for (1024 pixels wide, or the larger
// screens of 1280 by 1024), in device-independent pixels; a screen scaled so
// far that fewer pixels remain, or one much larger, gets the nearest designed
// layout, and the window then scrolls or centres it.
#include <QRect>
#include <QSize>

namespace orbino {

// The screen the layout is computed for, from the logical (scaled) screen
// size: smaller than 800 x 600 is laid out as 1024 x 768; wider or taller
// than 1280 x 1024 as at most that; the rest as it is.
QSize designedScreenSize(QSize logical);

// Where a window whose layout was designed as `design` goes on a screen whose
// free area is `available` (logical pixels). The designed rectangle itself
// when it fits and the screen is not much larger; else the free area less a
// small margin and room for the title bar, in which the layout is centred
// (larger) or scrolled (smaller). `design` when `available` is not known.
QRect windowOnScreen(const QRect& design, const QRect& available);

} // namespace orbino
