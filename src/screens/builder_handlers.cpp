// The screen builder: the activation handler of every level window fills
// the window once from its content list (or, on the main window, from the
// day folders) and adjusts menus and the back/end buttons every time.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "screens/content_list.h"
#include "screens/screen_rules.h"
#include "tools/links.h"
#include "tools/notes.h"
#include "ui_tform1.h"

#include <QBitmap>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPixmapCache>
#include <QPushButton>
#include <QTextDocument>

namespace orbino {

// What the buttons of one screen look up again and again, asked once while
// the screen is built: whether a glyph file is there, and each glyph's icon.
// Nothing outlives the build, so nothing goes stale.
struct ScreenGlyphs {
    struct Glyph {
        QIcon icon;
        QSize size;
    };
    QHash<QString, bool> files;
    QHash<QString, Glyph> icons;
    bool exists(const QString& path) {
        auto it = files.constFind(path);
        if (it == files.cend())
            it = files.insert(path, isFile(path));
        return *it;
    }
};

namespace {

// The screens of a day show the same background and the same few glyphs
// again and again: each picture is decoded once per file version and use,
// and the windows share the pixmap instead of holding a copy each.
QString pictureKey(const char* use, const QString& path) {
    const QFileInfo fi(resolvePath(path));
    return QLatin1String(use) + u'|' + QString::number(fi.lastModified().toMSecsSinceEpoch()) +
           u'|' + QString::number(fi.size()) + u'|' + fi.absoluteFilePath();
}

// Shows a background picture at its own size, centred in the label (which
// clips a picture larger than itself), as the course pictures were drawn for.
// On a scaled screen the pictures are drawn at the screen's own resolution.
void setPicture(QLabel* label, const QString& path) {
    const qreal ratio = label->devicePixelRatioF();
    const QString key = pictureKey("background", path) + u'@' + QString::number(ratio);
    QPixmap pm;
    if (!QPixmapCache::find(key, &pm)) {
        QImage img = loadPicture(path);
        if (img.isNull())
            return;
        if (ratio > 1.0)
            img = forScreen(img, ratio);
        pm = QPixmap::fromImage(std::move(img)); // converted in place, no second copy
        QPixmapCache::insert(key, pm);
    }
    label->setPixmap(pm);
}

// Button glyphs use their bottom-left pixel as the transparent colour.
QIcon glyphIcon(const QString& path, QSize* size, qreal ratio) {
    const QString key = pictureKey("glyph", path) + u'@' + QString::number(ratio);
    QPixmap pm;
    if (!QPixmapCache::find(key, &pm)) {
        const QImage img = loadPicture(path);
        if (img.isNull())
            return {};
        pm = seeThroughPixmap(img, ratio);
        QPixmapCache::insert(key, pm);
    }
    *size = pm.deviceIndependentSize().toSize();
    return QIcon(pm);
}

// What an item button opens, for a screen reader.
QString itemDescription(const QString& reference) {
    switch (itemKind(reference)) {
    case ItemKind::LessonText:
        return QStringLiteral("Otvorí ďalšiu obrazovku");
    case ItemKind::Demonstration:
        return QStringLiteral("Prehrá ukážku");
    case ItemKind::Picture:
        break;
    case ItemKind::ProgramOrDocument: {
        const QString e = referenceExt(reference).toLower();
        if (e == QLatin1String("exe") || e == QLatin1String("com") || e == QLatin1String("bat"))
            return QStringLiteral("Spustí program");
        break;
    }
    }
    return QStringLiteral("Otvorí dokument");
}

} // namespace

// Every activation starts at 10 points.
void TForm1::resetActivationFont() {
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
}

// What a build reads once: a bad value is reported once, not on every activation.
void TForm1::readBuildSettings() {
    if (isMainWindow()) {
        takeLevel(1);
        // Known from the start: the search window has no day press to read it.
        st.rootListName = st.CitajKonfig(keys::DefaultContent);
    }
    fontSizeButton = std::clamp(st.configInt(keys::FontsizeButton), 0, 255);
    fontSizeMemo = std::clamp(st.configInt(keys::FontsizeMemo), 0, 255);
}

// The background picture: at the window's left on the main screen, centred on the others.
void TForm1::placeBackground() {
    if (level == 1)
        ui->Image1->move(designGeometry().x(), ui->Image1->y());
    else
        ui->Image1->move((designWidth() - ui->Image1->width()) / 2, st.scale == 10 ? 90 : 30);
}

// The learner's own links of this level, with their label when there are any.
void TForm1::showOwnLinks() {
    if (const std::optional<QStringList> own = ownLinksOf(st, level)) {
        ui->ComboBox2->clear();
        ui->ComboBox2->addItems(*own);
    }
    showOwnLinksList();
}

// The end of every activation, a return to the screen included.
void TForm1::finishActivation() {
    const int u = st.scale;
    // Menus that need a folder of the current level.
    const QString folder = st.levels.folder(std::clamp(st.levels.current(), 1, kMaxLevel + 1));
    QAction* edit = ui->Editciatextu1->menuAction();
    if (edit->isEnabled())
        edit->setVisible(SkusZapis(st) && !folder.isEmpty());
    if (ui->Hadaj1->isEnabled())
        ui->Hadaj1->setEnabled(!folder.isEmpty());
    // The lesson editor asked to edit the text of the new screen.
    if (st.editorAskedTextEdit) {
        st.editorAskedTextEdit = false;
        Editciatextu2Click();
    }
    // The links label above the links list, the back and end buttons below it.
    QComboBox* links = ui->ComboBox1;
    ui->Label2->move(ui->Label2->x(), links->y() - 20);
    const int top = links->y() + links->height() + 15;
    ui->SpeedButton1->move(links->x(), top);
    ui->SpeedButton2->move(links->x() + ui->SpeedButton1->width() + 2 * u, top);
    // Lessons read, beside the day buttons (again on every return).
    if (level == 1)
        showDayProgress();
    keyboardOrder();
}

// A button per day, one below the other at the right; gives where they end.
int TForm1::makeDayButtons(const DayListing& listing) {
    const int u = st.scale;
    const int W = st.boundsWidth;
    int cursor = nearest((u - 5) * 3.0);
    for (const DayFolder& day : listing.days) {
        auto* b = new QPushButton(ui->centralwidget);
        b->setProperty("runtime", true);
        b->setProperty("tag", day.index);
        dayButtons.insert(day.index, b);
        const int bw = u * 15, h = nearest(u * 2.6);
        b->setGeometry(W - bw - 3 * u, cursor + nearest(u * 2.8), bw, h);
        cursor += nearest(u * 2.8);
        b->setText(day.caption);
        // The caption's leading blanks place it on the button; a screen
        // reader should not read them.
        b->setAccessibleName(day.caption.trimmed());
        const DayButtonFont df = dayButtonFont(u, day.caption);
        QFont bf(QStringLiteral("Arial"));
        bf.setPointSize(df.pointSize);
        bf.setBold(df.bold);
        b->setFont(bf);
        b->setObjectName(QStringLiteral("Buttonx%1%2").arg(day.index).arg(st.levels.current()));
        QObject::connect(b, &QAbstractButton::clicked, this,
                         [this, b] { guard([this, b] { PoStlaceni(b); }); });
        b->show();
    }
    return cursor;
}

// A main screen without a single button cannot be used: the program ends.
void TForm1::endIfNoButton() {
    if (QWidget* fw = focusWidget())
        fw->clearFocus();
    bool ownsButton = false;
    for (const QObject* o : findChildren<QObject*>())
        if (o->objectName().startsWith(QLatin1String("Button")))
            ownsButton = true;
    if (ownsButton) {
        st.levels.expectDay();
    } else {
        const ConfigText text = st.configText(keys::Dimensions);
        st.messageIf(text, MsgKind::Warning, text.value);
        exitCleanup();
    }
}

// Copying is possible, and the notes button is shown when this screen has a
// note; headings shown, the lesson text read-only in its configured size.
void TForm1::prepareContentScreen() {
    ui->Koprovanie1->setEnabled(true);
    showNotesButton(hasNote(st, level));
    ui->Label1->show();
    ui->Label6->show();
    QFont mf(QStringLiteral("Arial"));
    mf.setPointSize(fontSizeMemo > 0 ? fontSizeMemo : 10);
    ui->Memo1->setFont(mf);
    ui->Memo1->setReadOnly(true);
    ui->Memo1->setEnabled(true);
}

// The content list into the level's table, and the screen's background picture.
void TForm1::takeContentList(const ContentList& list) {
    st.levels.takeList(level, list);
    itemButtons.clear();
    backgroundLine = list.backgroundLine;
    const QString folder = st.levelFolderPath(level);
    if (!backgroundLine.isEmpty()) {
        if (isFile(folder + backgroundLine))
            setPicture(ui->Image1, folder + backgroundLine);
    } else if (isFile(folder + QStringLiteral("POZADIE.BMP"))) {
        setPicture(ui->Image1, folder + QStringLiteral("POZADIE.BMP"));
    }
}

// The heading, made from the level below's heading and the pressed item.
void TForm1::showHeading() {
    QString below;
    if (TForm1* lower = windowOfLevel(level - 1))
        below = lower->heading();
    const QString heading = levelHeading(st.searchMode(), level, st.levels.folder(level), below,
                                         st.pressedItemTitle, st.searchTitle);
    ui->Label1->setText(heading);
    if (const auto colour = headingColour(heading))
        setWindowColor(winColor(*colour));
    if (headingHidesHowTo(heading))
        ui->Ako->hide();
}

// Description, item buttons and links; gives where the buttons end.
int TForm1::placeContent(const ContentList& list) {
    ui->Memo1->hide();
    ui->Memo1->clear();
    ui->ComboBox1->clear();
    const ScreenContent content = walkContentList(list);
    int cursor = 70;
    int k = 1;
    // Looked up once for all the buttons: every lookup reads the whole CONFIG.TXT.
    const QString exam = content.itemSlots.isEmpty() ? QString() : st.CitajKonfig(keys::ButtonExam);
    ScreenGlyphs glyphs;
    for (int slot : content.itemSlots)
        makeItemButton(slot, k++, cursor, exam, glyphs);
    for (const QString& link : content.links)
        ui->ComboBox1->addItem(link);
    ui->Memo1->setPlainText(content.description.join(QLatin1Char('\n')));
    return cursor;
}

// The rich-text twin replaces the description block; a screen with text shows
// it over the background picture.
void TForm1::showLessonText(const QString& listPath) {
    const int u = st.scale;
    memoRtfPath.clear();
    const QString rtf =
        st.levelFolderPath(level) + twinName(st.levels.listFile(level), QStringLiteral("rtf"));
    if (isFile(rtf)) {
        if (loadRtfFile(rtf, *ui->Memo1->document())) {
            memoRtfPath = resolvePath(rtf);
            // Shown from its first line, not scrolled to where loading ended.
            ui->Memo1->moveCursor(QTextCursor::Start);
        } else
            st.message(MsgKind::Warning,
                       QStringLiteral("Súbor %1 sa nedá prečítať; zobrazí sa text zo zoznamu %2.")
                           .arg(rtf, listPath));
    }
    const QString text = ui->Memo1->toPlainText();
    ui->Memo1->setVerticalScrollBarPolicy(text.size() > 190 ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAsNeeded);
    if (!text.isEmpty()) {
        ui->Memo1->show();
        if (backgroundLine != QLatin1String("ohodnot.bmp") &&
            backgroundLine != QLatin1String("pribeh2.bmp"))
            ui->Image1->hide();
        if (u == 10) {
            const QRect g = ui->Image1->geometry();
            ui->Image1->setGeometry(g.x() + 30, g.y(), g.width() + 170, g.height() + 70);
            if (backgroundLine == QLatin1String("ulohy.bmp")) {
                ui->Image1->hide();
                ui->Image4->show();
            }
        }
    }
}

// The links list below the last button (a screen without links offers the
// configured web address), the heading clear of the item buttons, and the
// lesson text's width for the layout unit.
void TForm1::placeLinksAndText(int cursor) {
    const int u = st.scale;
    if (ui->ComboBox1->count() == 0)
        ui->ComboBox1->addItem(st.CitajKonfig(keys::WwwDefault));
    QWidget* first = itemButtons.value(1);
    if (buttonCount != 0 && first)
        ui->Label1->resize(designWidth() - first->width() - 20, ui->Label1->height());
    else
        ui->Label1->resize(designWidth() - 20, ui->Label1->height());

    Lista(cursor);
    ui->ComboBox1->setCurrentIndex(0);
    ui->Label2->show();
    ui->ComboBox1->show();

    if (u == 10) {
        ui->Memo1->resize(520, ui->Memo1->height());
        ui->Memo1->move(ui->Memo1->x(), ui->Memo1->y() - 30);
    } else {
        ui->Memo1->resize(620, ui->Memo1->height());
    }
    // Keep the text clear of the "Odkazy:" label above the link list.
    const int room = ui->ComboBox1->y() - 20 - 4 - ui->Memo1->y();
    if (room > 0 && ui->Memo1->height() > room)
        ui->Memo1->resize(ui->Memo1->width(), room);
}

// The hidden marker beside item button k of a test screen: shown after the
// evaluation when exercise k was not solved.
void TForm1::makeSolutionMarker(int k, const QRect& place) {
    auto* marker = new QLabel(ui->centralwidget);
    marker->setProperty("runtime", true);
    marker->setGeometry(place);
    marker->setToolTip(QStringLiteral("Môžeš si pozrieť riešenie nevyriešenej úlohy č.%1").arg(k));
    // A picture alone says nothing to a screen reader: its hint names it.
    marker->setAccessibleName(marker->toolTip());
    const QImage img = loadPicture(st.programFolder + QStringLiteral("ries.bmp"));
    if (!img.isNull())
        marker->setPixmap(seeThroughPixmap(img, marker->devicePixelRatioF()));
    marker->hide();
    while (solutionMarkers.size() < k)
        solutionMarkers.append(nullptr);
    solutionMarkers[k - 1] = marker;
}

namespace {

// The button's picture, when it has one, no taller than the button.
void setGlyph(QPushButton* b, const QString& glyph, ScreenGlyphs& glyphs) {
    if (glyph.isEmpty())
        return;
    const qreal ratio = b->devicePixelRatioF();
    const QString key = glyph + u'@' + QString::number(ratio);
    auto known = glyphs.icons.constFind(key);
    if (known == glyphs.icons.cend()) {
        ScreenGlyphs::Glyph g;
        g.icon = glyphIcon(glyph, &g.size, ratio);
        known = glyphs.icons.insert(key, g);
    }
    const QIcon& icon = known->icon;
    const QSize size = known->size;
    if (!icon.isNull()) {
        const int h = b->height();
        b->setIcon(icon);
        b->setIconSize(size.boundedTo(QSize(h - 4, h - 4)));
    }
}

} // namespace

// Every activation: a screen built once, then only brought up to date.
void TForm1::FormActivate() {
    resetActivationFont();
    if (st.boundsWidth < 112) {
        exitCleanup();
        return;
    }
    if (st.levels.built(level)) {
        // A window built before it was shown gets its first activation now;
        // only later ones are returns to the screen. The course's links stay
        // as built (or as the lesson editor refilled them).
        firstActivationPending = false;
        finishActivation();
        return;
    }
    if (startFailed || !isDir(st.tempFolder)) {
        exitCleanup();
        finishActivation();
        return;
    }
    st.levels.setBuilt(level, true);
    readBuildSettings();
    placeBackground();
    showOwnLinks();
    st.levels.ZapisUroven();
    if (level > 1 || st.searchMode())
        buildContentScreen();
    else
        buildMainScreen();
    finishActivation();
    presentScreen();
}

void TForm1::buildMainScreen() {
    const int u = st.scale;
    // The course's background picture; no lesson text on the main screen.
    const QString background = st.programFolder + QStringLiteral("POZADIE.BMP");
    if (isFile(background))
        setPicture(ui->Image1, background);
    ui->Memo1->hide();
    ui->Image1->show();
    st.levels.showMain();
    ui->Odkazy1->setEnabled(false);
    ui->Poznmky1->setEnabled(false);

    // The day folders, in the order of the folder listing.
    const DayListing listing = listDayFolders(st.programFolder);
    st.firstDayButton = listing.first;
    st.lastDayButton = listing.last;
    dayButtons.clear();
    const int cursor = makeDayButtons(listing);

    // The heading leaves room for the day buttons.
    if (listing.days.isEmpty())
        ui->Label1->resize(designWidth() - 20, ui->Label1->height());
    else
        ui->Label1->resize(designWidth() - (u == 10 ? 15 : 20) * u - 20, ui->Label1->height());
    ui->Button1->hide();
    Lista(cursor);
    endIfNoButton();
}

// A level screen (or the search window's list): read its content list, then
// place what the list says.
void TForm1::buildContentScreen() {
    prepareContentScreen();
    const QString listPath = st.contentListPath(level);
    const ContentList list = readContentList(listPath);
    takeContentList(list);
    showHeading();
    const int cursor = placeContent(list);
    showLessonText(listPath);
    if (list.droppedLines > 0)
        st.message(
            MsgKind::Warning,
            QStringLiteral("Zoznam %1 má viac ako %2 riadkov s tlačidlami, odkazmi a textom; "
                           "%3 z nich sa nezobrazí.")
                .arg(listPath)
                .arg(kContentSlots)
                .arg(list.droppedLines));
    placeLinksAndText(cursor);
    // The learner has been here.
    recordVisit();
}

void TForm1::makeItemButton(int slot, int k, int& cursor, const QString& exam,
                            ScreenGlyphs& glyphs) {
    const int u = st.scale;
    const int W = st.boundsWidth;
    const int L = level;

    buttonCount = k;
    auto* b = new QPushButton(ui->centralwidget);
    b->setProperty("runtime", true);
    itemButtons.insert(k, b);
    const int h = nearest(u * 3.7);
    const int w = u == 10 ? u * 19 : u * 22;
    QFont bf(QStringLiteral("Arial"));
    bf.setPointSize(10);
    bf.setBold(true);
    b->setFont(bf);
    const int top = cursor + (u == 10 ? nearest(u * 3.5) : nearest(u * 2.9));
    // The window grows so that no button is out of reach below its edge.
    if (top + h >= designHeight() - 40 && top <= designHeight() - 4 * u)
        resizeDesign(designWidth(), designHeight() + nearest(20.0 / u) * 5);
    if (top + h > designHeight() - 4 * u)
        resizeDesign(designWidth(), top + h + 4 * u);
    b->setProperty("tag", slot);

    const ContentItem& item = st.levels.item(L, slot);
    const QString ext = referenceExt(item.reference);

    bool shown = !st.testYourselfFlag;
    if (!item.caption.isEmpty()) {
        cursor += 4 * u;
    } else {
        shown = false;
    }
    b->setGeometry(W - w - 2 * u, top, w, h);

    if (st.testYourselfFlag)
        makeSolutionMarker(k, QRect(b->x() - 30, top + 5, 30, h));

    b->setObjectName(QStringLiteral("Button%1%2").arg(k).arg(L));
    setGlyph(b,
             glyphPicture(st.programFolder, st.levels.folder(L), item.caption, ext, exam,
                          [&glyphs](const QString& path) { return glyphs.exists(path); }),
             glyphs);

    // The full caption stays the hint, which the next level's heading ends with.
    const TrimmedCaption t = trimCaption(item.caption, u == 10 ? st.trimSmall : st.trimLarge);
    b->setText(t.text);
    b->setToolTip(item.caption);
    b->setProperty("hintShown", t.shortened);
    // Read in full even when shortened; the description says what the
    // button opens, rather than repeating the caption (the hint).
    b->setAccessibleName(item.caption);
    b->setAccessibleDescription(itemDescription(item.reference));
    connect(b, &QAbstractButton::clicked, this,
            [this, b] { guard([this, b] { SpustiProgram(b); }); });
    b->setVisible(shown);
}

void TForm1::Lista(int y) {
    const int u = st.scale;
    int count = 0;
    for (QWidget* w : ui->centralwidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->objectName().startsWith(QLatin1String("Button")) &&
            (!w->isHidden() || st.testYourselfFlag))
            ++count;
    buttonCount = count;
    QPushButton* notes = ui->Button1;
    notes->setGeometry(u == 12 ? 700 : 550, y + (u == 10 ? nearest(u * 3.5) : nearest(u * 2.8)),
                       22 * u, 4 * u);
    QFont nf = notes->font();
    if (fontSizeButton > 0)
        nf.setPointSize(fontSizeButton);
    nf.setBold(true);
    notes->setFont(nf);
}

} // namespace orbino
