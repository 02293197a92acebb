#pragma once
#include <QDialog>

namespace Ui {
class TOknoOPrg;
}

namespace orbino {

class AppState;

// Where to send remarks: the contact mail address (click to write) and the
// team's other address. Sized to its controls.
class TOknoOPrg : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoOPrg* ui;

public:
    explicit TOknoOPrg(AppState& st, QWidget* parent = nullptr);
    ~TOknoOPrg() override;

    void Label1Click();

private:
    AppState& st;
};

} // namespace orbino
