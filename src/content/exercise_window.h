#pragma once
// The exercise window of a test-yourself screen: poses the exercises one by
// one, and at the end writes the evaluation onto the level window.
#include "content/exercises.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TOknoUlohy;
}

namespace orbino {

class AppState;
class TForm1;

class TOknoUlohy : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoUlohy* ui;

public:
    // `form` is the level window showing the test; the evaluation goes there.
    explicit TOknoUlohy(TForm1& form, QWidget* parent = nullptr);
    ~TOknoUlohy() override;

    // Loads the exercise text and shows the first exercise. Throws FileError
    // when the text is missing or unreadable, or holds no exercise.
    void FormCreate();
    void Uloha();
    void Button1Click(); // "Áno"
    void Button2Click(); // "Nie"
    void Button3Click(); // the solution demonstration of the exercise shown
    void Vyhodnot();

    // The screen's lesson text, which holds the exercises.
    QString exerciseTextPath() const;
    const ExerciseTest* test() const { return m_test.get(); }
    bool evaluated() const { return m_evaluated; }

protected:
    // The window ends only through the evaluation: Esc and the close
    // button do nothing.
    void reject() override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void answered();
    // The task's text takes the focus, so that a screen reader reads it.
    void presentTask();
    TForm1& m_form;
    AppState& st;
    QList<TextLine> m_lines;
    std::unique_ptr<ExerciseTest> m_test;
    int m_shownNumber = 0;
    bool m_evaluated = false;
};

} // namespace orbino
