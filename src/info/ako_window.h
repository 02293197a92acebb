#pragma once
#include <QDialog>

namespace Ui {
class TOknoAko;
}

namespace orbino {

class AppState;

// How to work with the course CD, for teachers: "ako.rtf" from the program
// folder, and buttons that hand the Word documents "help.doc" and
// "PlanPrace.doc" (the teaching plan) to the desktop. Stands at its designed
// place, or at (50, 50) on a 1024-pixel screen.
class TOknoAko : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoAko* ui;

public:
    explicit TOknoAko(AppState& st, QWidget* parent = nullptr);
    ~TOknoAko() override;

    // Throws FileError when "ako.rtf" is missing or unreadable; the window
    // is then still usable, with an empty text.
    void loadText();
    void Button1Click();
    void Button2Click();
    void cClick();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    AppState& st;
    QSize m_designSize;
    QList<QRect> m_designed; // Memo1, Bevel1, Button2, Button1, Label2, Label1, c
};

} // namespace orbino
