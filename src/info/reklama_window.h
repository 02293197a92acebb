#pragma once
#include <QDialog>

namespace Ui {
class TOknoReklama;
}

namespace orbino {

class AppState;

// The trademark notice and four credit lines whose web addresses open when
// clicked. Sized to its controls; its caption stays the designed one.
class TOknoReklama : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoReklama* ui;

public:
    explicit TOknoReklama(AppState& st, QWidget* parent = nullptr);
    ~TOknoReklama() override;

    void Label2Click();
    void Label4Click();
    void Label6Click();
    void Label8Click();

private:
    AppState& st;
};

} // namespace orbino
