#pragma once
// Layout helpers shared by the notes, links and copy windows.
class QWidget;

namespace orbino {

class AppState;

// Sizes the window to its controls with a border of `border` pixels on every
// side, the controls keeping their designed places relative to each other.
void fitToControls(QWidget* window, int border);

// Puts the window in the middle of the screen the state knows of.
void centreOnScreen(QWidget* window, const AppState& st);

} // namespace orbino
