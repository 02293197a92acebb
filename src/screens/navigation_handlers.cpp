// Moving through the stack of level windows: a day button opens level 2, an
// item naming a content list opens the next level, "Späť" closes one.
#include "app/app_state.h"
#include "app/form_file_window.h"
#include "app/main_window.h"
#include "content/editor_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "screens/content_list.h"
#include "screens/screen_rules.h"
#include "tools/links.h"
#include "tools/notes.h"
#include "ui_tform1.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFile>
#include <QLabel>

namespace orbino {

TForm1* TForm1::windowOfLevel(AppState& st, int level) {
    if (level < 1 || level > kMaxLevel + 1)
        return nullptr;
    return qobject_cast<TForm1*>(st.levelWindows[size_t(level)].data());
}

namespace {

// A test-yourself screen: the task button, the task text and the points box
// above the lesson text, which moves down to make room.
void prepareTestScreen(TForm1& level) {
    Ui::TForm1* ui2 = level.ui;
    const AppState& st = level.st;
    const int u = st.scale;
    const int W = st.boundsWidth;
    QWidget* z = ui2->Zadanie;
    const int zw = u == 10 ? 22 * u : 20 * u;
    z->setGeometry(W - zw - 2 * u, z->y(), zw, nearest(u * 3.7));
    z->show();
    ui2->Memo2->show();
    loadRtfFile(st.programFolder + QStringLiteral("Zadanie.rtf"), *ui2->Memo2->document());
    ui2->Memo2->moveCursor(QTextCursor::Start);
    ui2->Memo4->clear();
    ui2->Memo4->setPlainText(QStringLiteral("Môžeš získať"));
    ui2->Memo2->resize((W / 3) * 2, ui2->Memo2->height());
    if (u == 10) {
        ui2->Memo2->resize(520, 160);
    } else {
        ui2->Memo2->resize(620, 155);
        QFont mf = ui2->Memo4->font();
        mf.setPointSize(12);
        mf.setBold(true); // the points box is bold (see the exercise window)
        ui2->Memo4->setFont(mf);
        ui2->Memo4->setGeometry(490, ui2->Memo4->y() - 25, 140, ui2->Memo4->height());
        ui2->Memo4->show();
    }
    const QRect m = ui2->Memo1->geometry();
    if (u == 10)
        ui2->Memo1->setGeometry(m.x(), m.y() + 170, m.width(), m.height() - 160);
    else
        ui2->Memo1->setGeometry(m.x(), m.y() + 140, m.width(), m.height() - 110);
    level.showLastScore();
}

// The background picture of a level screen moves up on screens other than 1024 wide.
void placeLevelBackground(TForm1& level) {
    const int u = level.st.scale;
    if (u == 10) {
        const QRect g = level.ui->Image1->geometry();
        level.ui->Image1->setGeometry(g.x(), 50, g.width() - 5 * u, g.height() - 5 * u);
    }
}

// Level 2 of the pressed day, with the day's own CONFIG.TXT in force.
void openDayLevel(TForm1& w) {
    w.st.levelConfigActive = true;
    try {
        w.ZobrazOkno();
    } catch (...) {
        w.st.levelConfigActive = false;
        throw;
    }
    w.ui->Button1->hide();
}

void warnMissingList(AppState& st, const QString& root) {
    const QString text = st.CitajKonfig(keys::Text1);
    st.message(MsgKind::Warning, text + QStringLiteral(" ") + root);
}

// The day's content list as level 2: restored from its backup when only that
// is left, else offered for creation where the course allows it.
void openDayList(TForm1& w, const QString& root) {
    AppState& st = w.st;
    const QString backup = twinName(root, QStringLiteral("bak"));
    const QString folder = st.levelFolderPath(2);

    if (isFile(folder + root)) {
        openDayLevel(w);
        return;
    }
    if (isFile(folder + backup)) {
        const QString from = resolvePath(folder + backup);
        const QString to = resolvePath(folder + root);
        const bool moved = SkusZapis(st) && QFile::rename(from, to);
        invalidateListing(resolvePath(folder));
        if (moved)
            openDayLevel(w);
        else
            warnMissingList(st, root);
        return;
    }
    // The offer to create the list follows the switch of its own question.
    const ConfigText content = st.configText(keys::Content);
    if (!content.messageOn)
        return;
    if (!SkusZapis(st)) {
        warnMissingList(st, root);
        return;
    }
    const QString text2 = st.CitajKonfig(keys::Text2);
    if (!st.prompter ||
        !st.prompter->ask(MsgKind::Information, content.value + QStringLiteral(" ") + root +
                                                    QStringLiteral("\n") + text2))
        return;
    if (w.editNewContentList(root, st.levelFolder[2]) && isFile(folder + root))
        openDayLevel(w);
}

} // namespace

void TForm1::PoStlaceni(QAbstractButton* pressed) {
    st.solutionPasswordFlag = false;
    if (st.currentLevel == 1)
        st.currentLevel = 2;
    st.testYourselfFlag = false;
    if (!pressed)
        return;
    st.levelWindows[1] = this;

    const QString caption = pressed->text();
    const auto day = dayNumberFromCaption(caption);
    if (!day) {
        const QString t = caption.trimmed();
        const QString digits = t.size() >= 2 && t.at(1) == QLatin1Char('.') ? t.left(1) : t.left(2);
        st.message(MsgKind::Error,
                   QStringLiteral("„%1“ nie je platné celé číslo: názov dňa „%2“ sa nezačína "
                                  "číslom dňa.")
                       .arg(digits, t));
        return;
    }
    st.selectedItem = *day;
    st.levelFolder[1] = dayFolderFromCaption(caption);
    st.levelFolder[2] = AppState::folderNameRule(st.levelFolder[1]);
    st.rootListName = st.CitajKonfig(keys::DefaultContent);
    const QString root = st.rootListName;
    st.levelListFile[2] = root;
    openDayList(*this, root);
}

// The teacher writes the missing list in the lesson editor; true when saved.
bool TForm1::editNewContentList(const QString& listFile, const QString& folder) {
    return openLessonEditor(*this, folder, listFile);
}

void TForm1::ZobrazOkno() {
    const int L = st.currentLevel;
    if (L < 2 || L > kMaxLevel)
        throw FileError(st.contentListPath(L), QStringLiteral("úroveň %1 sa nedá otvoriť").arg(L));
    const QString formFile = st.tempFormFile();
    // The layout file went missing while we ran: write it again as it was at
    // start-up. The main window itself has changed since (its main screen
    // switched off the notes and links items and hid "Späť").
    if (st.heldFormFile.isEmpty() && !isFile(formFile)) {
        if (!st.startFormFile.isEmpty())
            writeFileAtomic(formFile, st.startFormFile, Flush::Scratch);
        else if (TForm1* main = windowOfLevel(st, 1); main && main->isMainWindow())
            saveFormFile(*main, formFile);
    }
    auto* w = new TForm1(st, modal, false);
    try {
        if (!st.heldFormFile.isEmpty())
            applyFormBytes(*w, st.heldFormFile, formFile);
        else
            applyFormFile(*w, formFile);
    } catch (...) {
        delete w;
        throw;
    }
    w->level = L;
    w->placeOnScreen();
    st.levelWindows[size_t(L)] = w;
    st.levelBuilt[size_t(L)] = false;
    TForm1* below = windowOfLevel(st, L - 1);
    w->setObjectName(QStringLiteral("Form%1").arg(L));
    if (L > 2 && below)
        w->move(below->pos());
    try {
        w->applyLevelCaptions();
    } catch (...) {
        // The day's CONFIG.TXT cannot be read: no half-made level stays behind.
        delete w;
        st.levelWindows[size_t(L)] = nullptr;
        throw;
    }

    if (st.testYourselfFlag)
        prepareTestScreen(*w);
    placeLevelBackground(*w);
    if (below) {
        below->hide();
        // A hidden level keeps its window buffer (megabytes at full screen)
        // unless its native window goes too; showing it again makes a new one.
        below->destroy();
    }

    // The screen is built before it is shown, so it does not depend on when
    // (or whether) the platform reports the activation.
    w->guard([w] { w->FormActivate(); });
    w->firstActivationPending = true;
    QPointer<TForm1> guardW(w);
    if (!st.exiting)
        modal.exec(w);

    // The window was closed (FormClose lowered the level) or the program ends.
    if (guardW)
        delete guardW.data();
    st.levelWindows[size_t(L)] = nullptr;
    for (auto& b : st.itemButtons[size_t(L)])
        b = nullptr;
    if (st.exiting)
        return;
    if (st.currentLevel == L) {
        // Hidden some other way than through its close event.
        st.currentLevel = L - 1;
        st.ZapisUroven();
    }
    st.levelBuilt[size_t(L)] = false;
    if (TForm1* back = windowOfLevel(st, st.currentLevel))
        back->show();
}

void TForm1::applyLevelCaptions() {
    ui->Label2->hide();
    ui->ComboBox1->hide();
    applyCaptions(keys::EducationLevel);
    ui->SpeedButton1->show();
}

void TForm1::SpeedButton1Click() {
    if (isMainWindow())
        return;
    // Edited text that was not saved keeps the screen open, so nothing is lost.
    if (!ui->Memo1->isReadOnly() && !saveBeforeLeaving())
        return;
    if (st.currentLevel == 2)
        st.levelConfigActive = false;
    setProperty("leavingSaved", true);
    close();
}

void TForm1::PripravOkno(const QString& path) {
    if (!isFile(path)) {
        const ConfigText text =
            st.configText(QStringLiteral("CONTENT ") + path, QStringLiteral("Neexistuje ") + path);
        st.messageIf(text, MsgKind::Error, text.value);
        startFailed = true;
        return;
    }
    st.levelWindows[size_t(std::clamp(st.currentLevel, 1, kMaxLevel))] = this;
    setObjectName(QStringLiteral("Form%1").arg(st.currentLevel));
    st.currentLevel = 1;
    level = 1;
    const SearchPlace place = splitSearchPath(path);
    st.levelListFile[1] = place.listFile;
    st.levelFolder[1] = place.folder;
    st.ZapisUroven();
    show();
}

bool TForm1::openSubLevel(QAbstractButton* pressed) {
    if (!pressed)
        return true;
    const int L = st.currentLevel;
    bool ok = false;
    const int slot = pressed->property("tag").toInt(&ok);
    if (!ok || slot < 1 || slot > kMaxLines || L < 1 || L > kMaxLevel)
        throw FileError(
            st.contentListPath(L),
            QStringLiteral("tlačidlo „%1“ nemá v zozname svoj riadok").arg(pressed->text()));
    const ContentItem item = splitItemLine(st.levelLines[size_t(L)][size_t(slot)]);
    if (L >= kMaxLevel) {
        st.message(MsgKind::Warning,
                   QStringLiteral("Zoznam %1 sa neotvorí: program ukáže najviac %2 úrovní "
                                  "a toto by bola %3. úroveň.")
                       .arg(item.reference)
                       .arg(kMaxLevel)
                       .arg(L + 1));
        return true;
    }
    const size_t next = size_t(L + 1);
    st.levelListFile[next] = item.reference;
    st.levelFolder[next] = AppState::folderNameRule(st.levelFolder[1]);
    st.searchTitle = pressed->text();
    st.pressedItemTitle = pressed->toolTip().isEmpty() ? item.caption : pressed->toolTip();
    if (!isFile(st.levelFolderPath(L + 1) + item.reference))
        return false;
    st.currentLevel = L + 1;
    try {
        ZobrazOkno();
    } catch (...) {
        st.currentLevel = L;
        throw;
    }
    if (st.exiting)
        return true;
    if (TForm1* front = windowOfLevel(st, st.currentLevel))
        front->ui->Button1->setVisible(
            isFile(st.tempFolder + notesFileNameFor(st, st.currentLevel)));
    return true;
}

} // namespace orbino
