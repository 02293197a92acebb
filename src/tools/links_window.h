#pragma once
// The links window: the learner's own web addresses for the screen in front.
#include <QDialog>
#include <QStringList>

namespace Ui {
class TOknoOdkazy;
}

namespace orbino {

class AppState;
class TForm1;

class TOknoOdkazy : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoOdkazy* ui;

public:
    explicit TOknoOdkazy(TForm1& form);
    ~TOknoOdkazy() override;

    // Creates the window, loads the list and shows it modally. A list that
    // cannot be read throws before anything is shown, so no later save can
    // replace links the learner never saw.
    static void run(TForm1& form);

    void FormActivate(); // captions and the list; throws FileError
    void Button1Click(); // add the typed address
    void Button2Click(); // clear the edit field
    void Button3Click(); // delete the selected address
    void Button4Click(); // close, offering to add a typed address
    void Button5Click(); // take the selected address back for correcting

    QString linksPath() const;
    QStringList entries() const;

    // The title bar and Esc close as "Koniec" does, so a typed address is
    // offered too.
    void reject() override;

private:
    void focusEdit();
    void updateButtons();
    void rewrite(const QStringList& list);
    void reload();

    TForm1& m_form;
    AppState& st;
    QString m_name;
    bool m_loaded = false;
};

} // namespace orbino
