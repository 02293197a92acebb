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

// A test-yourself screen: the task button, the task text and the points box
// above the lesson text, which moves down to make room.
void TForm1::prepareTestScreen() {
    const int u = st.scale;
    const int W = st.boundsWidth;
    QWidget* z = ui->Zadanie;
    const int zw = u == 10 ? 22 * u : 20 * u;
    z->setGeometry(W - zw - 2 * u, z->y(), zw, nearest(u * 3.7));
    z->show();
    ui->Memo2->show();
    loadRtfFile(st.programFolder + QStringLiteral("Zadanie.rtf"), *ui->Memo2->document());
    ui->Memo2->moveCursor(QTextCursor::Start);
    ui->Memo4->clear();
    ui->Memo4->setPlainText(QStringLiteral("Môžeš získať"));
    ui->Memo2->resize((W / 3) * 2, ui->Memo2->height());
    if (u == 10) {
        ui->Memo2->resize(520, 160);
    } else {
        ui->Memo2->resize(620, 155);
        QFont mf = ui->Memo4->font();
        mf.setPointSize(12);
        mf.setBold(true); // the points box is bold (see the exercise window)
        ui->Memo4->setFont(mf);
        ui->Memo4->setGeometry(490, ui->Memo4->y() - 25, 140, ui->Memo4->height());
        ui->Memo4->show();
    }
    const QRect m = ui->Memo1->geometry();
    if (u == 10)
        ui->Memo1->setGeometry(m.x(), m.y() + 170, m.width(), m.height() - 160);
    else
        ui->Memo1->setGeometry(m.x(), m.y() + 140, m.width(), m.height() - 110);
    showLastScore();
}

// The background picture of a level screen moves up on screens other than 1024 wide.
void TForm1::placeLevelBackground() {
    const int u = st.scale;
    if (u == 10) {
        const QRect g = ui->Image1->geometry();
        ui->Image1->setGeometry(g.x(), 50, g.width() - 5 * u, g.height() - 5 * u);
    }
}

// Level 2 of the pressed day, with the day's own CONFIG.TXT in force.
void TForm1::openDayLevel() {
    st.levelConfigActive = true;
    try {
        ZobrazOkno();
    } catch (...) {
        st.levelConfigActive = false;
        throw;
    }
    showNotesButton(false);
}

namespace {

void warnMissingList(AppState& st, const QString& root) {
    const QString text = st.CitajKonfig(keys::Text1);
    st.message(MsgKind::Warning, text + QStringLiteral(" ") + root);
}

} // namespace

// The day's content list as level 2: restored from its backup when only that
// is left, else offered for creation where the course allows it.
void TForm1::openDayList(const QString& root) {
    const QString folder = st.levelFolderPath(2);
    switch (findList(folder, root)) {
    case ListOnDisk::Present:
        openDayLevel();
        return;
    case ListOnDisk::OnlyBackup:
        if (SkusZapis(st) && restoreFromBackup(folder, root))
            openDayLevel();
        else
            warnMissingList(st, root);
        return;
    case ListOnDisk::Missing:
        break;
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
    if (editNewContentList(root, st.levels.folder(2)) && isFile(folder + root))
        openDayLevel();
}

void TForm1::PoStlaceni(QAbstractButton* pressed) {
    st.solutionPasswordFlag = false;
    st.levels.expectDay();
    st.testYourselfFlag = false;
    if (!pressed)
        return;
    takeLevel(1);

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
    const QString dayFolder = dayFolderFromCaption(caption);
    st.rootListName = st.CitajKonfig(keys::DefaultContent);
    const QString root = st.rootListName;
    st.levels.chooseDay(dayFolder, root);
    openDayList(root);
    focusReturnsTo(pressed);
}

// The teacher writes the missing list in the lesson editor; true when saved.
bool TForm1::editNewContentList(const QString& listFile, const QString& folder) {
    return openLessonEditor(*this, folder, listFile);
}

// The layout file went missing while we ran: write it again as it was at
// start-up. The main window itself has changed since (its main screen
// switched off the notes and links items and hid "Späť").
void TForm1::restoreFormFile() const {
    const QString formFile = st.tempFormFile();
    if (!st.heldFormFile.isEmpty() || isFile(formFile))
        return;
    if (!st.startFormFile.isEmpty())
        writeFileAtomic(formFile, st.startFormFile, Flush::Scratch);
    else if (TForm1* main = windowOfLevel(1); main && main->isMainWindow())
        saveFormFile(*main, formFile);
}

namespace {

// A new level window laid out from this copy's own layout, kept in memory
// since start-up: another copy sharing the learner's folder may have written
// its course's layout into the temp form file since. The file is read only
// when no layout was kept.
std::unique_ptr<TForm1> windowFromForm(AppState& st, ModalRunner& modal) {
    auto w = std::make_unique<TForm1>(st, modal, false);
    const QByteArray& own = st.startFormFile.isEmpty() ? st.heldFormFile : st.startFormFile;
    if (!own.isEmpty())
        applyFormBytes(*w, own, st.tempFormFile());
    else
        applyFormFile(*w, st.tempFormFile());
    return w;
}

} // namespace

TForm1* TForm1::openLevelWindow(int L) {
    restoreFormFile();
    std::unique_ptr<TForm1> w = windowFromForm(st, modal);
    w->m_levels = m_levels;
    w->level = L;
    w->placeOnScreen();
    w->takeLevel(L);
    st.levels.setBuilt(L, false);
    w->setObjectName(QStringLiteral("Form%1").arg(L));
    TForm1* below = windowOfLevel(L - 1);
    if (L > 2 && below)
        w->move(below->pos());
    // A day CONFIG.TXT that cannot be read throws here, and no half-made
    // level stays behind.
    w->applyLevelCaptions();
    if (st.testYourselfFlag)
        w->prepareTestScreen();
    w->placeLevelBackground();
    return w.release();
}

void TForm1::ZobrazOkno() {
    const int L = st.levels.current();
    if (L < 2 || L > kMaxLevel)
        throw FileError(st.contentListPath(L), QStringLiteral("úroveň %1 sa nedá otvoriť").arg(L));
    TForm1* w = openLevelWindow(L);
    if (TForm1* below = windowOfLevel(L - 1)) {
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
    delete guardW.data();
    if (!st.exiting)
        backFromLevel(L);
}

void TForm1::backFromLevel(int L) {
    // Hidden some other way than through its close event.
    if (st.levels.current() == L)
        st.levels.leave(L);
    st.levels.setBuilt(L, false);
    if (TForm1* back = windowOfLevel(st.levels.current()))
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
    if (st.levels.current() == 2)
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
    takeLevel(std::clamp(st.levels.current(), 1, kMaxLevel));
    setObjectName(QStringLiteral("Form%1").arg(st.levels.current()));
    level = 1;
    const SearchPlace place = splitSearchPath(path);
    st.levels.startAt(place.folder, place.listFile);
    st.levels.ZapisUroven();
    show();
}

bool TForm1::openSubLevel(QAbstractButton* pressed) {
    if (!pressed)
        return true;
    const int L = st.levels.current();
    bool ok = false;
    const int slot = pressed->property("tag").toInt(&ok);
    if (!ok || slot < 1 || slot > kMaxLines || L < 1 || L > kMaxLevel)
        throw FileError(
            st.contentListPath(L),
            QStringLiteral("tlačidlo „%1“ nemá v zozname svoj riadok").arg(pressed->text()));
    const ContentItem item = st.levels.item(L, slot);
    if (L >= kMaxLevel) {
        st.message(MsgKind::Warning,
                   QStringLiteral("Zoznam %1 sa neotvorí: program ukáže najviac %2 úrovní "
                                  "a toto by bola %3. úroveň.")
                       .arg(item.reference)
                       .arg(kMaxLevel)
                       .arg(L + 1));
        return true;
    }
    st.levels.chooseItem(L, item.reference);
    st.searchTitle = pressed->text();
    st.pressedItemTitle = pressed->toolTip().isEmpty() ? item.caption : pressed->toolTip();
    if (!isFile(st.levelFolderPath(L + 1) + item.reference))
        return false;
    st.levels.enter(L + 1);
    try {
        ZobrazOkno();
    } catch (...) {
        // The window did not open: level L is current again.
        st.levels.enter(L);
        throw;
    }
    if (st.exiting)
        return true;
    focusReturnsTo(pressed);
    if (TForm1* front = windowOfLevel(st.levels.current()))
        front->showNotesButton(hasNote(st, st.levels.current()));
    return true;
}

} // namespace orbino
