#pragma once
// The two password windows and the gates the rest of the program calls.
#include <QDialog>

namespace Ui {
class TOknoHeslo;
}

namespace orbino {

class AppState;
class TForm1;

// Both windows share one layout; the learner's shows Label1 as well. They
// grant or refuse st.launchPermission; Cancel, Esc and a wrong password
// refuse it. A wrong password keeps the window open.
class PasswordWindowBase : public QDialog {
    Q_OBJECT
public:
    ~PasswordWindowBase() override;
    void Button1Click();
    void Button2Click();

protected:
    PasswordWindowBase(AppState& st, QWidget* parent);
    // True when `typed` (already trimmed, not empty) is right; on success
    // also sets the flag the password stands for.
    virtual bool accepts(const QString& typed) = 0;
    // The shared form: only the password windows' own file touches its controls.
    Ui::TOknoHeslo* ui;
    AppState& st;
};

// The teacher's password (stored hashed, see content/teacher_password.h).
class TOknoHeslo : public PasswordWindowBase {
    Q_OBJECT
public:
    TOknoHeslo(AppState& st, QWidget* parent = nullptr);

protected:
    bool accepts(const QString& typed) override;
};

// The learner's password of the day pressed last (st.selectedItem, 1..16).
class TOknoHesloZ : public PasswordWindowBase {
    Q_OBJECT
public:
    TOknoHesloZ(AppState& st, QWidget* parent = nullptr);

protected:
    bool accepts(const QString& typed) override;
};

// True when the teacher already gave the password in this run, or gives it
// now in TOknoHeslo (shown through form.modal). Sets st.launchPermission and,
// on success, st.teacherLoggedIn. Callers that only ask when the edit
// password switch is set test the switch themselves.
bool teacherGate(TForm1& form);

// True when the learner already gave today's password since the last day
// button press, or gives it now in TOknoHesloZ. Sets st.launchPermission and,
// on success, st.solutionPasswordFlag.
bool dayPasswordGate(TForm1& form);

} // namespace orbino
