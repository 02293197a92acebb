#pragma once
// Set-up and layout helpers shared by the notes, links and copy windows.
#include <functional>
#include <initializer_list>
#include <utility>

class QAbstractButton;
class QDialog;
class QObject;
class QPushButton;
class QWidget;

namespace orbino {

class AppState;
class TForm1;

// Sizes the window to its controls with a border of `border` pixels on every
// side, the controls keeping their designed places relative to each other.
void fitToControls(QWidget* window, int border);

// Puts the window in the middle of the screen the state knows of.
void centreOnScreen(QWidget* window, const AppState& st);

// A tool window's frame: a title bar with the system menu and a close button,
// and a fixed size fitted to its controls with a border of 20 pixels.
// `plainButtons` do not take Enter when they have the focus. With `centreFor`
// the window stands in the middle of that state's screen.
void frameToolWindow(QDialog* window, std::initializer_list<QPushButton*> plainButtons,
                     const AppState* centreFor = nullptr);

// Makes the window for `form`, fills it (which may throw before anything is
// shown) and runs it modally.
template <class W> void runToolWindow(TForm1& form) {
    W window(form);
    window.FormActivate();
    execModal(form, &window);
}
void execModal(TForm1& form, QWidget* window);

// Runs `handler` under the guard of `form` (which reports its errors)
// whenever `button` is clicked, for as long as `context` lives.
void onClickGuarded(TForm1& form, QAbstractButton* button, QObject* context,
                    std::function<void()> handler);

template <class W>
void onClicksGuarded(TForm1& form, W* window,
                     std::initializer_list<std::pair<QAbstractButton*, void (W::*)()>> clicks) {
    for (const auto& [button, handler] : clicks)
        onClickGuarded(form, button, window, [window, h = handler] { (window->*h)(); });
}

} // namespace orbino
