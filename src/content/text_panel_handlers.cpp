// The lesson text panel Memo1: showing a lesson's description, editing it
// with character formatting and saving it into the .txt and its .rtf twin.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/lesson_text.h"
#include "content/password_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/textfile.h"
#include "ui_tform1.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>

namespace orbino {

namespace {

struct LessonPaths {
    QString text; // the content list being shown (the file reference itself)
    QString rtf;  // folder + base + ".rtf"
    QString folder;
};

LessonPaths lessonPaths(const AppState& st) {
    const int level = st.levels.current();
    LessonPaths p;
    p.folder = st.levelFolderPath(level);
    const QString ref = st.levels.listFile(std::clamp(level, 1, kMaxLevel + 1));
    p.text = p.folder + ref;
    p.rtf = twinPath(p.folder, ref);
    return p;
}

// Memo1's hint is shown only while editing; the text set at start-up is kept
// aside while it is off.
void setMemoHint(QTextEdit* memo, bool on) {
    static const char* kKept = "orbinoMemoHint";
    if (!memo->property(kKept).isValid())
        memo->setProperty(kKept, memo->toolTip());
    memo->setToolTip(on ? memo->property(kKept).toString() : QString());
}

// The sixteen colours the Windows font dialog offers, by their Slovak names.
struct NamedColor {
    const char* name;
    QRgb rgb;
};
constexpr NamedColor kColors[] = {
    {"Čierna", 0x000000},      {"Gaštanová", 0x800000},  {"Zelená", 0x008000},
    {"Olivová", 0x808000},     {"Námornícka", 0x000080}, {"Purpurová", 0x800080},
    {"Modrozelená", 0x008080}, {"Sivá", 0x808080},       {"Strieborná", 0xC0C0C0},
    {"Červená", 0xFF0000},     {"Limetková", 0x00FF00},  {"Žltá", 0xFFFF00},
    {"Modrá", 0x0000FF},       {"Fuchsiová", 0xFF00FF},  {"Azúrová", 0x00FFFF},
    {"Biela", 0xFFFFFF},
};

} // namespace

// Puts the menu and the panel into the state of editing or showing.
void TForm1::setEditUi(bool editing) {
    ui->Memo1->setReadOnly(!editing);
    ui->Memo1->setContextMenuPolicy(editing ? Qt::NoContextMenu : Qt::DefaultContextMenu);
    ui->Editciatextu2->setText(editing ? menuSaveMemoText(st) : menuEditMemoText(st));
    ui->Ignorovazmeny1->setVisible(editing);
    setMemoHint(ui->Memo1, editing);
}

void TForm1::ObnovMemo() {
    const LessonPaths p = lessonPaths(st);
    QTextEdit* memo = ui->Memo1;
    memo->clear();
    if (isFile(p.rtf)) {
        QTextDocument* doc = memo->document();
        if (!loadRtfFile(resolvePath(p.rtf), *doc))
            throw FileError(p.rtf, QStringLiteral("súbor sa nedá prečítať"));
        memoRtfPath = p.rtf;
        // Loading leaves the panel's cursor at the end, and a panel shown
        // with its cursor out of view scrolls to it: start at the top.
        memo->moveCursor(QTextCursor::Start);
        return;
    }
    memoRtfPath.clear();
    memo->setPlainText(descriptionText(readLines(p.text)).join(QLatin1Char('\n')));
}

bool TForm1::UlozMemo() {
    const LessonPaths p = lessonPaths(st);
    try {
        const QTextDocument& doc = *ui->Memo1->document();
        saveLessonText(p.text, p.rtf, plainLines(doc), writeRtf(doc));
    } catch (const FileError& e) {
        // Nothing was replaced: the panel keeps the text as typed and stays
        // editable, so the teacher can try again or discard.
        setEditUi(true);
        st.message(MsgKind::Error, e.message());
        if (ui->Memo1->isVisible())
            ui->Memo1->setFocus();
        return false;
    }
    memoRtfPath = p.rtf;
    setEditUi(false);
    return true;
}

void TForm1::Editciatextu2Click() {
    if (!ui->Memo1->isReadOnly()) {
        ui->Ignorovazmeny1->setVisible(false);
        setMemoHint(ui->Memo1, false);
        if (!UlozMemo() && ui->Memo1->isVisible())
            ui->Memo1->setFocus();
        return;
    }
    bool permitted = true;
    if (st.editPasswordSwitch && !st.teacherLoggedIn) {
        permitted = teacherGate(*this);
    }
    st.launchPermission = permitted;
    if (!permitted)
        return;
    ObnovMemo();
    setMemoHint(ui->Memo1, true);
    const LessonPaths p = lessonPaths(st);
    // Probed with a file of our own: the list itself is never opened for writing.
    if (!folderWritable(p.folder)) {
        setMemoHint(ui->Memo1, false);
        const ConfigText text = uneditableText(st);
        st.messageIf(text, MsgKind::Information, text.value);
        return;
    }
    setEditUi(true);
    ui->Memo1->setEnabled(true);
    if (!ui->Memo1->isVisible())
        ui->Memo1->show();
    ui->Memo1->setFocus();
}

void TForm1::Ignorovazmeny1Click() {
    setEditUi(false);
    ObnovMemo();
}

void TForm1::Memo1Exit() {
    if (ui->Memo1->isReadOnly())
        return;
    // Only a move to another control of this window counts: a dialog, a menu
    // or another program taking the focus does not leave the text.
    QWidget* to = QApplication::focusWidget();
    if (!to || to == ui->Memo1 || to->window() != this)
        return;
    // Escape that closes a menu leaves the menu bar with the keyboard: that
    // is still the menu, not a move away from the text.
    if (qobject_cast<QMenuBar*>(to))
        return;
    saveBeforeLeaving();
}

void TForm1::Memo1MouseDown(const QPoint&) {
    if (ui->Memo1->isReadOnly())
        return;
    QTextEdit* memo = ui->Memo1;
    const QTextCharFormat current = memo->currentCharFormat();
    QFontDialog dlg(this);
    dlg.setObjectName(QStringLiteral("FontDialog1"));
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    QFont start = memo->font();
    start.setPointSizeF(current.fontPointSize() > 0 ? current.fontPointSize() : start.pointSizeF());
    start.setBold(current.fontWeight() >= QFont::Bold);
    start.setItalic(current.fontItalic());
    start.setUnderline(current.fontUnderline());
    start.setStrikeOut(current.fontStrikeOut());
    dlg.setCurrentFont(start);

    // Qt's font dialog has no colour; add the Windows dialog's colour list.
    auto* colorBox = new QComboBox(&dlg);
    colorBox->setObjectName(QStringLiteral("ColorBox"));
    const QColor currentColor = current.foreground().style() == Qt::NoBrush
                                    ? QColor(Qt::black)
                                    : current.foreground().color();
    int selected = 0;
    for (int i = 0; i < int(std::size(kColors)); ++i) {
        const QColor c = QColor::fromRgb(kColors[i].rgb);
        QPixmap swatch(16, 16);
        swatch.fill(c);
        colorBox->addItem(QIcon(swatch), QString::fromUtf8(kColors[i].name), c);
        if (c.rgb() == currentColor.rgb())
            selected = i;
    }
    colorBox->setCurrentIndex(selected);
    if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(QStringLiteral("Farba:"), &dlg), row, 0);
        grid->addWidget(colorBox, row + 1, 0);
    }

    if (modal.exec(&dlg) != QDialog::Accepted)
        return;
    const QFont f = dlg.currentFont();
    QTextCharFormat fmt;
    if (f.pointSizeF() > 0)
        fmt.setFontPointSize(f.pointSizeF());
    fmt.setFontWeight(f.bold() ? QFont::Bold : QFont::Normal);
    fmt.setFontItalic(f.italic());
    fmt.setFontUnderline(f.underline());
    fmt.setFontStrikeOut(f.strikeOut());
    fmt.setForeground(colorBox->currentData().value<QColor>());
    memo->mergeCurrentCharFormat(fmt);
}

bool TForm1::saveBeforeLeaving() {
    if (ui->Memo1->isReadOnly())
        return true;
    const ConfigText question = st.configText(keys::SaveMemoQ);
    bool saved = false;
    if (question.messageOn) {
        if (st.prompter && st.prompter->ask(MsgKind::Confirmation, question.value))
            saved = UlozMemo();
    } else {
        saved = UlozMemo();
    }
    if (!saved)
        ui->Memo1->setFocus();
    return saved;
}

} // namespace orbino
