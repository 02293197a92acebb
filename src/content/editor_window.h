#pragma once
// The lesson editor TOknoEditLek: a content list edited as plain text beside
// its formatted lesson text and the editing instructions "lection.hlp".
#include "content/lesson_editor.h"

#include <QDialog>

namespace Ui {
class TOknoEditLek;
}

namespace orbino {

class AppState;
class TForm1;

class TOknoEditLek : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoEditLek* ui;

public:
    // `lessonFolder` is relative to the program folder.
    TOknoEditLek(AppState& st, const QString& lessonFolder, const QString& lessonFile,
                 QWidget* parent = nullptr);
    ~TOknoEditLek() override;

    void FormCreate();
    // Loads the files (creating a missing list empty); throws FileError.
    void FormActivate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void UlozTxtRtf();

    // Whether the list differs from the text the editor opened with.
    bool changed() const;
    // Esc and the close box: a changed list is offered for saving first
    // ("SAVE MEMO?"; where its line switches questions off, it is saved).
    // "Zruš zmeny" stays the way to leave without saving.
    void reject() override;

    const EditorFiles& files() const { return m_files; }
    bool existed = true;       // the list was there when the editor opened
    bool createdEmpty = false; // the editor created it
    bool continueToTextEditing = false;
    bool saved = false;

private:
    AppState& st;
    EditorFiles m_files;
    QString m_loadedText;
};

// Opens the editor modally through form.modal for `listFile` in `folder`
// (relative to the program folder) and returns whether it saved. A missing
// list with a backup is restored from it first, else created empty (and
// removed again when the editor is left without saving). Clears
// st.editorAskedTextEdit when it opens and sets it when the teacher saved
// with "Editácia textu" (the caller then starts text editing).
bool openLessonEditor(TForm1& form, const QString& folder, const QString& listFile);

} // namespace orbino
