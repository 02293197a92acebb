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
public:
    explicit TOknoOPrg(AppState& st, QWidget* parent = nullptr);
    ~TOknoOPrg() override;

    void Label1Click();

    Ui::TOknoOPrg* ui;

private:
    AppState& st;
};

} // namespace orbino
