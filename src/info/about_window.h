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
public:
    explicit TOknoAbout(AppState& st, QWidget* parent = nullptr);
    ~TOknoAbout() override;

    void Label1Click();

    Ui::TOknoAbout* ui;

private:
    AppState& st;
};

} // namespace orbino
