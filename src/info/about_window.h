#pragma once
#include <QDialog>

namespace Ui {
class TOknoAbout;
}

namespace orbino {

class AppState;

// Publication, authors, rights and the course in brief, with the contact
// mail address under them. Centred on the screen, sized to its controls.
class TOknoAbout : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoAbout* ui;

public:
    explicit TOknoAbout(AppState& st, QWidget* parent = nullptr);
    ~TOknoAbout() override;

    void Label1Click();

private:
    AppState& st;
};

} // namespace orbino
