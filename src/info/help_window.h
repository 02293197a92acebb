#pragma once
#include <QDialog>

namespace Ui {
class TOknoHelp;
}

namespace orbino {

class AppState;

// The help text of the course ("Help.rtf" in the program folder), with a
// button that hands the illustrated Word version ("help.doc") to the desktop.
// Centred on the screen, sized to its controls.
class TOknoHelp : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoHelp* ui;

public:
    explicit TOknoHelp(AppState& st, QWidget* parent = nullptr);
    ~TOknoHelp() override;

    // Caption and text. Throws FileError when the help text is missing or
    // unreadable; the window is then still usable, with an empty text.
    void FormActivate();
    void Button1Click();
    void Button2Click();

private:
    AppState& st;
};

} // namespace orbino
