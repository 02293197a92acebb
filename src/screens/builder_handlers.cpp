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
#include <QImage>
#include <QLabel>
#include <QPixmapCache>
#include <QPushButton>
#include <QTextDocument>

namespace orbino {

namespace {

// BMP pictures are read through the resolver, so names whose case or
// encoding differs from the disk still load. A null image when unreadable.
QImage loadPicture(const QString& path) {
    try {
        return readPicture(path);
    } catch (const FileError&) {
        return {};
    }
}

// The screens of a day show the same background and the same few glyphs
// again and again: each picture is decoded once per file version and use,
// and the windows share the pixmap instead of holding a copy each.
QString pictureKey(const char* use, const QString& path) {
    const QFileInfo fi(resolvePath(path));
    return QLatin1String(use) + u'|' + QString::number(fi.lastModified().toMSecsSinceEpoch()) + u'|' +
           QString::number(fi.size()) + u'|' + fi.absoluteFilePath();
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
        if (ratio > 1.0) {
            pm = QPixmap::fromImage(forScreen(img, ratio, img.pixelColor(0, img.height() - 1)));
        } else {
            pm = QPixmap::fromImage(img);
            pm.setMask(pm.createMaskFromColor(img.pixelColor(0, img.height() - 1)));
        }
        QPixmapCache::insert(key, pm);
    }
    *size = pm.deviceIndependentSize().toSize();
    return QIcon(pm);
}

// What an item button opens, for a screen reader.
QString itemKind(const QString& extension) {
    const QString e = extension.toLower();
    if (e == QLatin1String("txt"))
        return QStringLiteral("Otvorí ďalšiu obrazovku");
    if (e == QLatin1String("scm"))
        return QStringLiteral("Prehrá ukážku");
    if (e == QLatin1String("exe") || e == QLatin1String("com") || e == QLatin1String("bat"))
        return QStringLiteral("Spustí program");
    return QStringLiteral("Otvorí dokument");
}

TForm1* windowOfLevel(AppState& st, int level) {
    if (level < 1 || level > kMaxLevel + 1)
        return nullptr;
    return qobject_cast<TForm1*>(st.levelWindows[size_t(level)].data());
}

} // namespace

void TForm1::FormActivate() {
    const int u = st.scale;
    const int W = st.boundsWidth;
    const int L = level;
    // A. Start of every activation.
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
    if (W < 112) {
        exitCleanup();
        return;
    }

    auto endOfActivation = [&] {
        // E1. Menus that need a folder of the current level.
        const QString folder =
            st.levelFolder[size_t(std::clamp(st.currentLevel, 1, kMaxLevel + 1))];
        QAction* edit = ui->Editciatextu1->menuAction();
        if (edit->isEnabled())
            edit->setVisible(SkusZapis(st) && !folder.isEmpty());
        if (ui->Hadaj1->isEnabled())
            ui->Hadaj1->setEnabled(!folder.isEmpty());
        // E2. The lesson editor asked to edit the text of the new screen.
        if (st.editorAskedTextEdit) {
            st.editorAskedTextEdit = false;
            Editciatextu2Click();
        }
        // E3.
        QComboBox* links = ui->ComboBox1;
        ui->Label2->move(ui->Label2->x(), links->y() - 20);
        const int top = links->y() + links->height() + 15;
        ui->SpeedButton1->move(links->x(), top);
        ui->SpeedButton2->move(links->x() + ui->SpeedButton1->width() + 2 * u, top);
        // E4. Lessons read, beside the day buttons (again on every return).
        if (L == 1)
            showDayProgress();
        keyboardOrder();
    };

    if (st.levelBuilt[size_t(L)]) {
        // A window built before it was shown gets its first activation now;
        // only later ones are returns to the screen.
        // The course's links stay as built (or as the lesson editor refilled
        // them) whenever the screen comes back to the front.
        firstActivationPending = false;
        endOfActivation();
        return;
    }
    if (startFailed || !isDir(st.tempFolder)) {
        exitCleanup();
        endOfActivation();
        return;
    }
    st.levelBuilt[size_t(L)] = true;
    if (isMainWindow()) {
        st.levelWindows[1] = this;
        // Known from the start: the search window has no day press to read it.
        st.rootListName =
            st.CitajKonfig(keys::DefaultContent);
    }
    // Read once per build: a bad value is reported once, not on every activation.
    fontSizeButton = std::clamp(st.configInt(keys::FontsizeButton), 0, 255);
    fontSizeMemo = std::clamp(st.configInt(keys::FontsizeMemo), 0, 255);

    // A7.
    if (L == 1)
        ui->Image1->move(designGeometry().x(), ui->Image1->y());
    else
        ui->Image1->move((designWidth() - ui->Image1->width()) / 2, u == 10 ? 90 : 30);

    // A8. Own links.
    const QString ownLinks = st.tempFolder + linksFileNameFor(st, L);
    if (isFile(ownLinks)) {
        ui->ComboBox2->clear();
        for (const QString& line : readLines(ownLinks))
            if (!line.isEmpty())
                ui->ComboBox2->addItem(line);
    }
    const bool hasOwn = ui->ComboBox2->count() > 0;
    ui->ComboBox2->setVisible(hasOwn);
    ui->Label4->setVisible(hasOwn);
    if (hasOwn)
        ui->Label4->move(ui->Label4->x(), ui->ComboBox2->y() - 20);
    ui->ComboBox2->setCurrentIndex(hasOwn ? 0 : -1);
    st.ZapisUroven();

    if (L > 1 || st.searchMode())
        buildContentScreen();
    else
        buildMainScreen();
    endOfActivation();
}

void TForm1::buildMainScreen() {
    const int u = st.scale;
    const int W = st.boundsWidth;
    // D1.
    const QString background = st.programFolder + QStringLiteral("POZADIE.BMP");
    if (isFile(background))
        setPicture(ui->Image1, background);
    ui->Memo1->hide();
    ui->Image1->show();
    st.currentLevel = 1;
    ui->Odkazy1->setEnabled(false);
    ui->Poznmky1->setEnabled(false);

    // D2.
    const DayListing listing = listDayFolders(st.programFolder);
    st.firstDayButton = listing.first;
    st.lastDayButton = listing.last;
    st.dayButtons.clear();

    // D3, D4.
    int cursor = nearest((u - 5) * 3.0);
    for (const DayFolder& day : listing.days) {
        auto* b = new QPushButton(ui->centralwidget);
        b->setProperty("runtime", true);
        b->setProperty("tag", day.index);
        st.dayButtons.insert(day.index, b);
        const int w = u * 15, h = nearest(u * 2.6);
        b->setGeometry(W - w - 3 * u, cursor + nearest(u * 2.8), w, h);
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
        b->setObjectName(QStringLiteral("Buttonx%1%2").arg(day.index).arg(st.currentLevel));
        connect(b, &QAbstractButton::clicked, this,
                [this, b] { guard([this, b] { PoStlaceni(b); }); });
        b->show();
    }

    // D5.
    if (listing.days.isEmpty())
        ui->Label1->resize(designWidth() - 20, ui->Label1->height());
    else
        ui->Label1->resize(designWidth() - (u == 10 ? 15 : 20) * u - 20, ui->Label1->height());
    ui->Button1->hide();
    Lista(cursor);

    // D6.
    if (QWidget* fw = focusWidget())
        fw->clearFocus();
    bool ownsButton = false;
    for (const QObject* o : findChildren<QObject*>())
        if (o->objectName().startsWith(QLatin1String("Button")))
            ownsButton = true;
    if (ownsButton) {
        st.currentLevel = 2;
    } else {
        const QString text =
            st.CitajKonfig(keys::Dimensions);
        st.messageIfSwitch(MsgKind::Warning, text);
        exitCleanup();
    }
}

void TForm1::buildContentScreen() {
    const int u = st.scale;
    const int L = level;
    const size_t l = size_t(L);

    // C1, C2.
    ui->Koprovanie1->setEnabled(true);
    ui->Button1->setVisible(isFile(st.tempFolder + notesFileNameFor(st, L)));
    // C3.
    ui->Label1->show();
    ui->Label6->show();
    QFont mf(QStringLiteral("Arial"));
    mf.setPointSize(fontSizeMemo > 0 ? fontSizeMemo : 10);
    ui->Memo1->setFont(mf);
    ui->Memo1->setReadOnly(true);
    ui->Memo1->setEnabled(true);

    // C4.
    const QString listPath = st.contentListPath(L);
    const ContentList list = readContentList(listPath);
    for (int i = 0; i <= kMaxLines; ++i)
        st.levelLines[l][size_t(i)] = i <= kContentSlots ? list.lines[size_t(i)] : QString();
    for (auto& b : st.itemButtons[l])
        b = nullptr;
    backgroundLine = list.backgroundLine;
    const QString folder = st.levelFolderPath(L);
    if (!backgroundLine.isEmpty()) {
        if (isFile(folder + backgroundLine))
            setPicture(ui->Image1, folder + backgroundLine);
    } else if (isFile(folder + QStringLiteral("POZADIE.BMP"))) {
        setPicture(ui->Image1, folder + QStringLiteral("POZADIE.BMP"));
    }

    // C5. Heading.
    QString below;
    if (TForm1* w = windowOfLevel(st, L - 1))
        below = w->ui->Label1->text();
    const QString heading = levelHeading(st.searchMode(), L, st.levelFolder[l], below,
                                         st.pressedItemTitle, st.searchTitle);
    ui->Label1->setText(heading);
    if (const auto colour = headingColour(heading))
        setWindowColor(winColor(*colour));
    if (headingHidesHowTo(heading))
        ui->Ako->hide();

    // C6. Description, item buttons, links.
    ui->Memo1->hide();
    ui->Memo1->clear();
    ui->ComboBox1->clear();
    const ScreenContent content = walkContentList(list);
    int cursor = 70;
    int k = 1;
    // Looked up once for all the buttons: every lookup reads the whole CONFIG.TXT.
    const QString exam = content.itemSlots.isEmpty() ? QString() : st.CitajKonfig(keys::ButtonExam);
    for (int slot : content.itemSlots)
        makeItemButton(slot, k++, cursor, exam);
    for (const QString& link : content.links)
        ui->ComboBox1->addItem(link);
    ui->Memo1->setPlainText(content.description.join(QLatin1Char('\n')));

    // C9. The rich-text twin replaces the description block.
    memoRtfPath.clear();
    const QString rtf = folder + twinName(st.levelListFile[l], QStringLiteral("rtf"));
    if (isFile(rtf)) {
        if (loadRtfFile(rtf, *ui->Memo1->document())) {
            memoRtfPath = resolvePath(rtf);
            // Shown from its first line, not scrolled to where loading ended.
            ui->Memo1->moveCursor(QTextCursor::Start);
        }
        else
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

    if (list.droppedLines > 0)
        st.message(
            MsgKind::Warning,
            QStringLiteral("Zoznam %1 má viac ako %2 riadkov s tlačidlami, odkazmi a textom; "
                           "%3 z nich sa nezobrazí.")
                .arg(listPath)
                .arg(kContentSlots)
                .arg(list.droppedLines));

    // C8.
    if (ui->ComboBox1->count() == 0)
        ui->ComboBox1->addItem(st.CitajKonfig(keys::WwwDefault));
    QWidget* first = qobject_cast<QWidget*>(st.itemButtons[l][1].data());
    if (buttonCount != 0 && first)
        ui->Label1->resize(designWidth() - first->width() - 20, ui->Label1->height());
    else
        ui->Label1->resize(designWidth() - 20, ui->Label1->height());

    // C10.
    Lista(cursor);
    ui->ComboBox1->setCurrentIndex(0);
    ui->Label2->show();
    ui->ComboBox1->show();

    // C11.
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
    // C12. The learner has been here.
    recordVisit();
}

void TForm1::makeItemButton(int slot, int k, int& cursor, const QString& exam) {
    const int u = st.scale;
    const int W = st.boundsWidth;
    const int L = level;
    const size_t l = size_t(L);
    const QString line = st.levelLines[l][size_t(slot)];

    buttonCount = k;
    auto* b = new QPushButton(ui->centralwidget);
    b->setProperty("runtime", true);
    st.itemButtons[l][size_t(k)] = b;
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

    const ContentItem item = splitItemLine(line);
    st.levelListFile[l + 1] = item.reference;
    st.levelFolder[l + 1] = AppState::folderNameRule(st.levelFolder[1]);
    const QString ext = referenceExt(item.reference);

    bool shown = !st.testYourselfFlag;
    if (!item.caption.isEmpty()) {
        cursor += 4 * u;
    } else {
        shown = false;
    }
    b->setGeometry(W - w - 2 * u, top, w, h);

    if (st.testYourselfFlag) {
        auto* marker = new QLabel(ui->centralwidget);
        marker->setProperty("runtime", true);
        marker->setGeometry(b->x() - 30, top + 5, 30, h);
        marker->setToolTip(
            QStringLiteral("Môžeš si pozrieť riešenie nevyriešenej úlohy č.%1").arg(k));
        // A picture alone says nothing to a screen reader: its hint names it.
        marker->setAccessibleName(marker->toolTip());
        const QImage img = loadPicture(st.programFolder + QStringLiteral("ries.bmp"));
        if (!img.isNull())
            marker->setPixmap(QPixmap::fromImage(
                forScreen(img, marker->devicePixelRatioF(), img.pixelColor(0, img.height() - 1))));
        marker->hide();
        while (solutionMarkers.size() < k)
            solutionMarkers.append(nullptr);
        solutionMarkers[k - 1] = marker;
    }

    b->setObjectName(QStringLiteral("Button%1%2").arg(k).arg(L));
    const QString glyph =
        glyphPicture(st.programFolder, st.levelFolder[l], item.caption, ext, exam);
    if (!glyph.isEmpty()) {
        QSize size;
        const QIcon icon = glyphIcon(glyph, &size, b->devicePixelRatioF());
        if (!icon.isNull()) {
            b->setIcon(icon);
            b->setIconSize(size.boundedTo(QSize(h - 4, h - 4)));
        }
    }

    // The full caption stays the hint, which the next level's heading ends with.
    const TrimmedCaption t = trimCaption(item.caption, u == 10 ? st.trimSmall : st.trimLarge);
    b->setText(t.text);
    b->setToolTip(item.caption);
    b->setProperty("hintShown", t.shortened);
    // Read in full even when shortened; the description says what the
    // button opens, rather than repeating the caption (the hint).
    b->setAccessibleName(item.caption);
    b->setAccessibleDescription(itemKind(ext));
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
