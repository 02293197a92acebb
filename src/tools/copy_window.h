#pragma once
// The copy window: the learner's note and link files on the left; on the
// right the learner's removable media and home folder, never the course.
#include "tools/copy.h"

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

    // The right-hand folder; choosing one makes it the current folder. The
    // course folder is refused with a message.
    QString rightFolder() const { return m_right; }
    void setRightFolder(const QString& folder);
    const QList<CopyPlace>& places() const { return m_places; }
    void chooseDrive(int index);

    void refreshLeft();
    void refreshRight();

    // Every way of closing puts the current folder back.
    void done(int result) override;

private:
    static QStringList selectedNames(const QListWidget* list);
    void fillFolders();
    // Copies with the overwrite question and shows what became of it.
    void copyAndReport(const QString& from, const QStringList& names, const QString& to);

    TForm1& m_form;
    AppState& st;
    QString m_savedFolder;
    QString m_right;
    QList<CopyPlace> m_places;
    QStringList m_drives; // the places' folders, in the selector's order
};

} // namespace orbino
