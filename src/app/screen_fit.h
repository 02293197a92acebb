#pragma once
// How the designed layouts meet real screens. One zoom per run, chosen from
// the monitor's pixels before the application starts, makes the monitor a
// virtual screen of about 1024 x 768 (wider on a wide monitor) that Qt draws
// zoomed; the layouts are computed for that virtual screen in logical pixels.
// Without the zoom (switched off, or a monitor smaller than 1024 x 768) a
// screen scaled so far that fewer pixels remain, or one much larger, gets the
// nearest designed layout, and the window then scrolls or centres it.
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

namespace orbino {

// The screen the layout is computed for, from the logical (scaled) screen
// size: smaller than 800 x 600 is laid out as 1024 x 768; wider or taller
// than 1280 x 1024 as at most that; the rest as it is.
// With `zoomed`, the virtual screen is taken as it is (its width decides the
// layout), only not below 1024 x 768.
QSize designedScreenSize(QSize logical, bool zoomed = false);

// The zoom for a monitor of `pixels` physical pixels: the largest that still
// leaves a 1024 x 768 virtual screen, never below 1, rounded down to 1/32 so
// that logical and physical pixels convert exactly.
double zoomForMonitor(QSize pixels);

// Chooses the run's zoom and hands it to Qt's high-DPI scaling through the
// environment; must run before the application object is made. The
// desktop's own scale (QT_SCALE_FACTOR, Xft.dpi) is replaced, not
// multiplied: the zoom alone decides how large the designed screen is drawn.
// ORBINO_ZOOM=off keeps Qt's scaling as the desktop set it; ORBINO_ZOOM=1.5
// forces a zoom. `monitor` is the monitor's size in physical pixels, empty
// when not known (then nothing changes). Returns the zoom set, or 0.
double applyScreenZoom(QSize monitor);
// Whether applyScreenZoom set a zoom in this run.
bool screenZoomed();

// Where a window whose layout was designed as `design` goes on a screen whose
// free area is `available` (logical pixels). The designed rectangle itself
// when it fits and the screen is not much larger; else the free area less a
// small margin and room for the title bar, in which the layout is centred
// (larger) or scrolled (smaller). `design` when `available` is not known.
QRect windowOnScreen(const QRect& design, const QRect& available);

// How a one-line caption is drawn in `room` when `font` is too wide for it
// (our fonts are wider than the ones the layouts were made for): the font
// shrinks, down to three quarters of its size; if that is not enough and
// the room is tall enough, the caption takes two lines; a caption that
// cannot break shrinks on, to 60%. `font` itself when
// the caption fits. Mnemonic marks (&) take no room.
struct CaptionFit {
    QFont font;
    bool twoLines = false;
    bool fits = true;
};
CaptionFit fitCaption(const QFont& font, const QString& text, QSize room);

} // namespace orbino
