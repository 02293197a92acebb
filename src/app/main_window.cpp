#include "app/main_window.h"

#include "app/app_state.h"
#include "app/form_file_window.h"
#include "app/screen_fit.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/textfile.h"
#include "ui_tform1.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QShortcut>

#include <array>
#include <utility>

namespace orbino {

QColor winColor(long long value) {
    const auto v = quint32(value);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

namespace {

// A link list opens its entry only on a deliberate choice: a click on an
// entry of the open list, Enter there, or Enter on the closed box. The box
// also reports "activated" when the wheel turns over it, an arrow key moves
// it or a typed letter jumps to an entry; none of these opens anything.
class DeliberateChoice : public QObject {
public:
    DeliberateChoice(QComboBox* box, std::function<void()> open)
        : QObject(box), m_box(box), m_open(std::move(open)) {
        // Installed after the list's own filters, so these run first and
        // mark the event before the list turns it into "activated".
        box->view()->installEventFilter(this);
        box->view()->viewport()->installEventFilter(this);
        box->installEventFilter(this);
        connect(box, &QComboBox::activated, this, [this] {
            if (std::exchange(m_chosen, false))
                m_open();
        });
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        // The open list takes Enter already as a shortcut override.
        const auto isEnter = [e] {
            if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride)
                return false;
            const int k = static_cast<QKeyEvent*>(e)->key();
            return k == Qt::Key_Return || k == Qt::Key_Enter;
        };
        if (o == m_box) {
            if (e->type() == QEvent::KeyPress && isEnter() && !m_box->view()->isVisible()) {
                m_open();
                return true;
            }
            if (e->type() == QEvent::Wheel || e->type() == QEvent::KeyPress)
                m_chosen = false;
            return false;
        }
        if (e->type() == QEvent::MouseButtonRelease || isEnter())
            m_chosen = true;
        else if (e->type() == QEvent::Show)
            m_chosen = false; // the list opened again, nothing chosen yet
        return false;
    }

private:
    QComboBox* m_box;
    std::function<void()> m_open;
    bool m_chosen = false;
};

// The grey text panels of the design: a border of the panel's own colour
// around the text, the scroll bars inside it. Set through the palette and
// the frame rather than style sheets, which made the start and every level
// window noticeably slower (and every repaint of these controls).
void panelLook(QAbstractScrollArea* panel, int border) {
    QPalette p = panel->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, QColor(225, 225, 225));
    panel->setPalette(p);
    if (border > 0) {
        panel->setFrameShape(QFrame::Box);
        panel->setFrameShadow(QFrame::Plain);
        panel->setLineWidth(border);
        panel->setForegroundRole(QPalette::Base); // a plain frame is drawn in the foreground colour
    }
}

// "Späť" and "Koniec": navy captions in every state.
void navyCaption(QWidget* button) {
    QPalette p = button->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::ButtonText, QColor(0, 0, 128));
        p.setColor(group, QPalette::WindowText, QColor(0, 0, 128));
    }
    button->setPalette(p);
}

} // namespace

struct LevelStack {
    std::array<QPointer<TForm1>, kMaxLevel + 2> windows{};
};

TForm1::TForm1(AppState& state, ModalRunner& runner, bool setup, QWidget* parent)
    : QMainWindow(parent), st(state), modal(runner), ui(new Ui::TForm1),
      m_levels(std::make_shared<LevelStack>()), m_isMain(setup) {
    ui->setupUi(this);
    panelLook(ui->Memo1, 10);
    panelLook(ui->Memo2, 10);
    panelLook(ui->Memo3, 5);
    panelLook(ui->Memo4, 0);
    navyCaption(ui->SpeedButton1);
    navyCaption(ui->SpeedButton2);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The designed canvas in a scroll area: scrolled on a screen too small
    // for it, centred on a larger one.
    m_canvasArea = new QScrollArea(this);
    m_canvasArea->setFrameShape(QFrame::NoFrame);
    m_canvasArea->setFocusPolicy(Qt::NoFocus);
    m_canvasArea->setWidgetResizable(false);
    m_canvasArea->setAlignment(Qt::AlignCenter);
    m_canvasArea->viewport()->setBackgroundRole(QPalette::Window);
    m_canvasArea->setAccessibleName(QStringLiteral("Obrazovka"));
    m_canvasArea->setWidget(takeCentralWidget());
    setCentralWidget(m_canvasArea);
    setProperty("designGeometry", geometry());
    setWindowColor(winColor(16777181));
    // Escape leaves a level screen as "Späť" does, through the same handler
    // (so edited text is offered for saving first).
    auto* back = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(back, &QShortcut::activated, this, [this] {
        // Escape that closes a menu leaves the menu bar still selected; the
        // next Escape only leaves the menu bar, never the screen.
        if (ui->MainMenu1->hasFocus()) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(ui->MainMenu1, &esc);
            return;
        }
        if (!isMainWindow() && ui->SpeedButton1->isVisible() && ui->SpeedButton1->isEnabled())
            ui->SpeedButton1->click();
    });
    // Whatever gets the focus is scrolled into view (a screen reader or a
    // mnemonic may focus a control the canvas has scrolled away).
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { showFocused(now); });
    ui->Memo1->viewport()->installEventFilter(this);
    ui->Memo1->installEventFilter(this);
    nameForScreenReaders();
    prepareForScreenReaders();
    connectHandlers();
}

// Names for the controls that show no text of their own (pictures, text
// panels, link lists), so a screen reader says what each one is.
void TForm1::nameForScreenReaders() {
    ui->Image1->setAccessibleName(QStringLiteral("Obrázok kurzu"));
    ui->Memo1->setAccessibleName(QStringLiteral("Text lekcie"));
    ui->Memo2->setAccessibleName(QStringLiteral("Zadanie testu"));
    ui->Memo3->setAccessibleName(QStringLiteral("Získané body"));
    ui->Memo4->setAccessibleName(QStringLiteral("Body"));
    ui->ComboBox1->setAccessibleName(QStringLiteral("Odkazy"));
    ui->ComboBox2->setAccessibleName(QStringLiteral("Vlastné odkazy"));
    ui->Label2->setBuddy(ui->ComboBox1);
    ui->Label4->setBuddy(ui->ComboBox2);
    ui->MainMenu1->setAccessibleName(QStringLiteral("Ponuka"));
}

TForm1::~TForm1() {
    // The controls clear their focus while they are destroyed below.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    delete ui;
}

TForm1* TForm1::windowOfLevel(int level) const {
    if (level < 1 || level > kMaxLevel + 1)
        return nullptr;
    return m_levels->windows[size_t(level)];
}

void TForm1::takeLevel(int level) {
    if (level >= 1 && level <= kMaxLevel + 1)
        m_levels->windows[size_t(level)] = this;
}

QString TForm1::heading() const {
    return ui->Label1->text();
}

void TForm1::showNotesButton(bool on) {
    ui->Button1->setVisible(on);
}

void TForm1::noteChanged(bool onDisk, bool saved) {
    showNotesButton(onDisk);
    if (saved)
        confirmOnStatusLine(QStringLiteral("Poznámka je uložená."));
}

void TForm1::setWindowColor(const QColor& c) {
    QPalette p = ui->centralwidget->palette();
    p.setColor(QPalette::Window, c);
    ui->centralwidget->setPalette(p);
    ui->centralwidget->setAutoFillBackground(true);
    QPalette around = m_canvasArea->viewport()->palette();
    around.setColor(QPalette::Window, c);
    m_canvasArea->viewport()->setPalette(around);
    m_canvasArea->viewport()->setAutoFillBackground(true);
}

QRect TForm1::designGeometry() const {
    return property("designGeometry").toRect();
}

void TForm1::setDesignGeometry(const QRect& r) {
    setProperty("designGeometry", r);
    placeOnScreen();
}

void TForm1::resizeDesign(int w, int h) {
    setDesignGeometry(QRect(designGeometry().topLeft(), QSize(w, h)));
}

void TForm1::placeOnScreen() {
    const QRect design = designGeometry();
    const int menu = ui->MainMenu1->sizeHint().height();
    ui->centralwidget->resize(design.width(), std::max(0, design.height() - menu));
    const QRect free = st.system ? st.system->availableArea() : QRect();
    const QRect real = windowOnScreen(design, free);
    // On a zoomed screen the window takes the whole free area, maximized: the
    // window manager knows its frame and the desktop's panels, where a placed
    // window would leave its title bar above the screen and a band below it
    // (the designed height kept room for a taskbar the free area excludes).
    // The canvas scrolls in it only if panels take more room than the design
    // kept.
    const bool zoomed = screenZoomed();
    // At its designed size the window shows the whole canvas; scroll bars
    // would only eat a pixel the menu bar's height differs by.
    const auto bars = !zoomed && real == design.translated(free.topLeft()) ? Qt::ScrollBarAlwaysOff
                                                                           : Qt::ScrollBarAsNeeded;
    m_canvasArea->setHorizontalScrollBarPolicy(bars);
    m_canvasArea->setVerticalScrollBarPolicy(bars);
    if (!isMaximized())
        setGeometry(real); // also the size it returns to from maximized
    if (zoomed)
        setWindowState(windowState() | Qt::WindowMaximized);
    // Zoomed, the room the free area has beyond the design stays below the
    // screen rather than splitting into a band above and one below it.
    m_canvasArea->setAlignment(zoomed ? Qt::AlignHCenter | Qt::AlignTop
                                      : Qt::AlignCenter); // places the canvas anew
}

void TForm1::showFocused(QWidget* now) {
    if (now && m_canvasArea && ui->centralwidget->isAncestorOf(now))
        m_canvasArea->ensureWidgetVisible(now, 10, 10);
}

QColor TForm1::windowColor() const {
    return ui->centralwidget->palette().color(QPalette::Window);
}

void TForm1::guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const FileError& e) {
        st.message(MsgKind::Error, e.message());
    } catch (const std::exception& e) {
        st.message(MsgKind::Error, QString::fromLocal8Bit(e.what()));
    }
}

void TForm1::connectHandlers() {
    auto on = [this](auto* sender, auto signal, void (TForm1::*h)()) {
        connect(sender, signal, this, [this, h] { guard([this, h] { (this->*h)(); }); });
    };
    on(ui->SpeedButton1, &QAbstractButton::clicked, &TForm1::SpeedButton1Click);
    on(ui->SpeedButton2, &QAbstractButton::clicked, &TForm1::SpeedButton2Click);
    on(ui->Koniec1, &QAction::triggered, &TForm1::Koniec1Click);
    on(ui->Button1, &QAbstractButton::clicked, &TForm1::Button1Click);
    on(ui->Zadanie, &QAbstractButton::clicked, &TForm1::ZadanieClick);
    on(ui->Ako, &QAbstractButton::clicked, &TForm1::AkoClick);
    on(ui->Editciatextu2, &QAction::triggered, &TForm1::Editciatextu2Click);
    on(ui->Ignorovazmeny1, &QAction::triggered, &TForm1::Ignorovazmeny1Click);
    on(ui->Editcialekci1, &QAction::triggered, &TForm1::Editcialekci1Click);
    on(ui->Poznmky1, &QAction::triggered, &TForm1::Poznmky1Click);
    on(ui->Odkazy1, &QAction::triggered, &TForm1::Odkazy1Click);
    on(ui->Koprovanie1, &QAction::triggered, &TForm1::Koprovanie1Click);
    on(ui->Export1, &QAction::triggered, &TForm1::Export1Click);
    on(ui->Prehladtriedy1, &QAction::triggered, &TForm1::Prehladtriedy1Click);
    on(ui->Hadaj1, &QAction::triggered, &TForm1::Hadaj1Click);
    on(ui->Help1, &QAction::triggered, &TForm1::Help1Click);
    on(ui->Oprograme1, &QAction::triggered, &TForm1::Oprograme1Click);
    on(ui->Ohlasyautorom1, &QAction::triggered, &TForm1::Ohlasyautorom1Click);
    on(ui->Reklama1, &QAction::triggered, &TForm1::Reklama1Click);
    new DeliberateChoice(ui->ComboBox1, [this] { guard([this] { ComboBox1Click(); }); });
    new DeliberateChoice(ui->ComboBox2, [this] { guard([this] { ComboBox2Click(); }); });
}

void TForm1::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        guard([this] { FormActivate(); });
}

void TForm1::closeEvent(QCloseEvent* e) {
    guard([this, e] { FormClose(e); });
}

bool TForm1::eventFilter(QObject* o, QEvent* e) {
    if (o == ui->Memo1 && e->type() == QEvent::FocusOut)
        guard([this] { Memo1Exit(); });
    if (o == ui->Memo1->viewport() && e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::RightButton) {
            const QPoint pos = me->position().toPoint();
            guard([this, pos] { Memo1MouseDown(pos); });
            return true;
        }
    }
    return QMainWindow::eventFilter(o, e);
}

// The configured texts the main window and every level window share; the
// subtitle's default differs between the two.
void TForm1::applyCaptions(const ConfigKey& education) {
    ui->Button1->setText(st.CitajKonfig(keys::ButtonNotes));
    ui->Label2->setText(st.CitajKonfig(keys::Http));
    ui->Label4->setText(st.CitajKonfig(keys::MyHttp));
    ui->Label1->setText(st.CitajKonfig(keys::Name));
    ui->Label6->setText(st.CitajKonfig(education));
    for (QLabel* l : {ui->Label1, ui->Label6}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, winColor(st.configInt(keys::ColorTitle)));
        l->setPalette(p);
    }
    ui->Vlastn1->setTitle(st.CitajKonfig(keys::MenuOwnself));
    ui->Poznmky1->setText(st.CitajKonfig(keys::MenuNotes));
    ui->Odkazy1->setText(st.CitajKonfig(keys::MenuHttp));
    ui->Pomocnk1->setTitle(st.CitajKonfig(keys::MenuHelp));
    ui->Editciatextu1->setTitle(st.CitajKonfig(keys::MenuEdit));
    ui->Editciatextu2->setText(st.CitajKonfig(keys::MenuEditMemo));
    ui->Editcialekci1->setText(st.CitajKonfig(keys::MenuEditLesson));
    ui->Oaplikci1->setTitle(st.CitajKonfig(keys::MenuAbout));
    ui->Koniec1->setText(st.CitajKonfig(keys::MenuEnd));
    ui->SpeedButton1->setText(st.CitajKonfig(keys::BackButtonCaption));
    if (st.searchMode()) {
        ui->SpeedButton2->setText(st.CitajKonfig(keys::SearchEndButtonCaption));
        ui->SpeedButton2->resize(200, ui->SpeedButton2->height());
        setWindowTitle(st.CitajKonfig(keys::SearchWindowCaption));
    } else {
        ui->SpeedButton2->setText(st.CitajKonfig(keys::EndButtonCaption));
        ui->SpeedButton2->resize(75, ui->SpeedButton2->height());
        setWindowTitle(st.CitajKonfig(keys::WindowCaption));
    }
}

// Back to the designed 96-dpi proportions on a large-font system.
void TForm1::scaleToDesignDpi(int dpi) {
    if (dpi > 0 && dpi != 96) {
        for (QWidget* c : ui->centralwidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect g = c->geometry();
            c->setGeometry(g.x() * 96 / dpi, g.y() * 96 / dpi, g.width() * 96 / dpi,
                           g.height() * 96 / dpi);
        }
    }
}

// The heading labels move down and the lesson heading grows with the layout
// unit; the two lists of the main screen move with it.
void TForm1::placeForLayoutUnit() {
    const int u = st.scale;
    const int down = qRound(100.0 / u), taller = qRound(1500.0 / u);
    ui->Label1->setGeometry(ui->Label1->x(), ui->Label1->y() + down, ui->Label1->width(),
                            ui->Label1->height() + taller);
    ui->Label6->move(ui->Label6->x(), ui->Label6->y() + down);
    const int comboShift = u == 10 ? -40 : 70;
    ui->ComboBox1->move(ui->ComboBox1->x(), ui->ComboBox1->y() + comboShift);
    ui->ComboBox2->move(ui->ComboBox2->x(), ui->ComboBox2->y() + comboShift);
}

// Folders, command line and the switches that start every run alike.
void TForm1::readStartState(const QStringList& args) {
    // The working directory is the program folder; its first letter stands for the drive.
    QString program = QDir::currentPath();
    if (!program.endsWith(QLatin1Char('/')))
        program += QLatin1Char('/');
    st.driveLetter = program.left(1);
    // The learner's folder.
    resolveTempFolder(st, program);
    // The command line: the search-window mode and its item.
    readCommandLine(st, args);
    // Day passwords, copying and the teacher start from their defaults.
    st.dayPasswords = defaultDayPasswords();
    ui->Koprovanie1->setEnabled(false);
    st.teacherLoggedIn = false;
    // Only now the program folder is known to the lookups.
    st.programFolder = program;
}

// The working area of every window: the whole screen less a border on
// screens other than 1024 wide, else a fixed 1000 x 700.
void TForm1::takeWorkingArea(const ScreenMetrics& scr) {
    if (st.scale == 10) {
        st.boundsLeft = 5;
        st.boundsTop = 5;
        st.boundsWidth = scr.width - 10;
        st.boundsHeight = scr.height - 40;
        ui->Ako->move(620, ui->Ako->y() - 5);
    } else {
        st.boundsLeft = 10;
        st.boundsTop = 10;
        st.boundsWidth = 1000;
        st.boundsHeight = 700;
    }
}

// The computer's address, or its absence, is told when configured so.
void TForm1::announceAddress() {
    // Finding the address may wait on name lookup, so it is done only
    // when one of the two messages is switched on.
    const ConfigText ipText = st.configText(keys::Ip);
    const ConfigText noneText = st.configText(keys::IpNone);
    if (ipText.messageOn || noneText.messageOn) {
        const QString address = st.system->hostAddress();
        if (!address.isEmpty())
            st.messageIf(ipText, MsgKind::Information,
                         ipText.value + QStringLiteral(" ") + address);
        else
            st.messageIf(noneText, MsgKind::Warning, noneText.value);
    }
}

// Captions of the window and its menus from the configuration.
void TForm1::applyMenuCaptions() {
    applyCaptions(keys::Education);
    ui->Koprovanie1->setText(st.CitajKonfig(keys::MenuCopy));
    ui->Help1->setText(st.CitajKonfig(keys::MenuHelps));
    ui->Hadaj1->setText(st.CitajKonfig(keys::MenuTree));
    ui->Memo1->setToolTip(st.CitajKonfig(keys::MemoInfo));
    ui->Ignorovazmeny1->setText(st.CitajKonfig(keys::MenuIgnoreMemo));
    ui->Oprograme1->setText(st.CitajKonfig(keys::MenuAboutProgram));
    ui->Ohlasyautorom1->setText(st.CitajKonfig(keys::MenuAboutWriteUs));
    ui->Reklama1->setText(st.CitajKonfig(keys::MenuAboutCopyright));
}

// The set-up window becomes the pattern of every level window (the temp form
// file); without a learner's folder the program cannot go on.
void TForm1::becomeLevelPattern() {
    if (isDir(st.tempFolder)) {
        QFile::remove(resolvePath(st.tempFormFile()));
        // A full or read-only learner's folder still gives a working screen:
        // the layout is then kept in memory, and the learner told once.
        const QByteArray form = formFileBytes(*this);
        st.startFormFile = form;
        try {
            writeFileAtomic(st.tempFormFile(), form, Flush::Scratch);
            st.heldFormFile.clear();
        } catch (const FileError& e) {
            st.heldFormFile = form;
            st.reportTempFolderUnwritable(e);
        }
        ui->SpeedButton1->hide();
        if (st.searchMode()) {
            takeLevel(1);
            startFailed = false;
            PripravOkno(st.openedContentFile);
        }
    } else {
        // No learner's folder: said when configured so, and the program ends.
        const ConfigText text = st.configText(keys::Temp);
        st.messageIf(text, MsgKind::Error, text.value);
        exitCleanup();
    }
}

// The main window's set-up, once per run, in the order the old program used.
void TForm1::FormCreate(const QStringList& args) {
    const ScreenMetrics scr = st.system->screen();
    scaleToDesignDpi(scr.dpi);
    // The layout unit: 12 on a 1024-pixel-wide screen, 10 on any other.
    st.scale = scr.width == 1024 ? 12 : 10;
    placeForLayoutUnit();
    readStartState(args);
    takeWorkingArea(scr);
    // How long button captions may be; kept in 8 bits, as stored course data expects.
    st.trimLarge = quint8(st.configInt(keys::TrimButtonLargeText));
    st.trimSmall = quint8(st.configInt(keys::TrimButtonSmallText));
    // The main window is level 1.
    st.levels.showMain();
    announceAddress();
    // Permissions exist on this system: the edit password switch starts clear.
    st.editPasswordSwitch = false;
    // The web links of a lesson screen and their label wait for a screen with links.
    ui->Label2->hide();
    ui->ComboBox1->hide();
    applyMenuCaptions();
    // The window takes the working area.
    setDesignGeometry(QRect(st.boundsLeft, st.boundsTop, st.boundsWidth, st.boundsHeight));
    // The background picture's place for the layout unit.
    if (st.scale == 10) {
        ui->Image1->setGeometry(ui->Image1->x(), 100, designWidth() - 200, designHeight() - 190);
    } else {
        ui->Image1->setGeometry(ui->Image1->x(), 20, ui->Image1->width() - 7 * st.scale,
                                ui->Image1->height());
    }
    // Controls made from now on start at 10 points.
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
    // Where the demonstration player is.
    resolvePlayerFolder(st);
    becomeLevelPattern();
}

} // namespace orbino
