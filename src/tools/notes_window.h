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
    void Button2Click(); // close, throwing the changes away
    void Button3Click(); // erase
    void Button4Click(); // close, offering to save a changed note
    void FormClose();

    QString notesPath() const;

    // Whether the text differs from the note on disk (a blank text never
    // does: it is not saved, and removing a note is what erasing is for).
    bool changed() const;

    // "Koniec", Esc and the title bar's close box: a changed note is offered
    // for saving first, and the window stays when the learner says so or
    // the note cannot be saved.
    void reject() override;

    // Every way of closing (buttons, Esc, title bar) ends here.
    void done(int result) override;

private:
    // Asks about a changed note; true when the window may close.
    bool offerToSave();

    TForm1& m_form;
    AppState& st;
    QString m_name;
    QString m_savedText;
    QString m_onDisk; // the text as the note on disk gives it
};

} // namespace orbino
