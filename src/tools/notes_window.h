#pragma once
// The notes window: the learner's note of the screen in front.
#include <QDialog>

namespace Ui {
class TOknoPoznamka;
}

namespace orbino {

class AppState;
class TForm1;

class TOknoPoznamka : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoPoznamka* ui;

public:
    // `form` is the level window that opened it: its guard reports errors.
    explicit TOknoPoznamka(TForm1& form);
    ~TOknoPoznamka() override;

    // Creates the window, loads the note and shows it modally. A note that
    // cannot be read throws before anything is shown.
    static void run(TForm1& form);

    void FormActivate(); // captions and the note; throws FileError
    void Memo1Change();
    void Button1Click(); // save and close
    void Button2Click(); // close without saving
    void Button3Click(); // erase
    void Button4Click(); // close without saving
    void FormClose();

    QString notesPath() const;

    // Every way of closing (buttons, Esc, title bar) ends here.
    void done(int result) override;

private:
    TForm1& m_form;
    AppState& st;
    QString m_name;
    QString m_savedText;
};

} // namespace orbino
