#pragma once
// The copy window: the learner's note and link files on the left, any folder
// of any drive on the right, copied either way.
#include <QDialog>
#include <QStringList>

class QListWidget;

namespace Ui {
class TOknoKopy;
}

namespace orbino {

class AppState;
class TForm1;

class TOknoKopy : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoKopy* ui;

public:
    explicit TOknoKopy(TForm1& form);
    ~TOknoKopy() override;

    static void run(TForm1& form);

    void FormActivate();
    void SpeedButton3Click(); // "<": right-hand files into the temp folder
    void SpeedButton4Click(); // ">": note and link files into the right-hand folder
    void Button1Click();      // "Koniec"

    // The right-hand folder; choosing one makes it the current folder.
    QString rightFolder() const { return m_right; }
    void setRightFolder(const QString& folder);
    void chooseDrive(int index);

    void refreshLeft();
    void refreshRight();

    // Every way of closing puts the current folder back.
    void done(int result) override;

private:
    static QStringList selectedNames(const QListWidget* list);
    void fillFolders();

    TForm1& m_form;
    AppState& st;
    QString m_savedFolder;
    QString m_right;
    QStringList m_drives;
};

} // namespace orbino
