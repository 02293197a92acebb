#include "app/app_window.h"

#include "app/app_state.h"
#include "app/keyboard_window.h"
#include "app/main_window.h"
#include "app/mnemonics.h"
#include "app/screen_fit.h"
#include "platform/dialogs_window.h"
#include "platform/shell_window.h"
#include "platform/system.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QTimer>
#include <algorithm>

namespace orbino {

namespace {

// The overflow chevron of a menu bar, drawn instead of decoded: the style's
// own icon is read from PNG files when the first menu bar is made, which
// also loads every image plug-in, all at start-up and for a button that
// shows only when the menus do not fit.
class ChevronIcon : public QIconEngine {
public:
    explicit ChevronIcon(bool vertical) : m_vertical(vertical) {}
    void paint(QPainter* p, const QRect& r, QIcon::Mode mode, QIcon::State) override {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        const QColor c = QGuiApplication::palette().color(
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Normal, QPalette::ButtonText);
        p->setPen(QPen(c, 1.5));
        const QRectF b = QRectF(r).adjusted(r.width() * 0.25, r.height() * 0.3, -r.width() * 0.25,
                                            -r.height() * 0.3);
        if (m_vertical) {
            p->translate(b.center());
            p->rotate(90);
            p->translate(-b.center());
        }
        for (const qreal dx : {0.0, b.width() / 2}) {
            const QPointF tip(b.left() + dx + b.width() / 2, b.center().y());
            p->drawPolyline(QPolygonF{{b.left() + dx, b.top()}, tip, {b.left() + dx, b.bottom()}});
        }
        p->restore();
    }
    QIconEngine* clone() const override { return new ChevronIcon(m_vertical); }

private:
    bool m_vertical;
};

class OrbinoStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (icon == SP_ToolBarHorizontalExtensionButton ||
            icon == SP_ToolBarVerticalExtensionButton)
            return QIcon(new ChevronIcon(icon == SP_ToolBarVerticalExtensionButton));
        return QProxyStyle::standardIcon(icon, option, widget);
    }

    // Buttons keep their configured caption as text; the mnemonic chosen for
    // them is only drawn, underlined where the Alt key will find it.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* p,
                     const QWidget* widget) const override {
        const int at = mnemonicIndex(widget);
        if (element == CE_PushButtonLabel) {
            if (const auto* o = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                QStyleOptionButton copy(*o);
                if (at >= 0)
                    copy.text = markMnemonic(o->text, at);
                // The glyph and the caption are centred together: the
                // caption's font is fitted to what the glyph leaves.
                const int glyph = o->icon.isNull() ? 0 : o->iconSize.width() + 4;
                const CaptionFit fit = fitCaption(p->font(), copy.text,
                                                  QSize(o->rect.width() - glyph, o->rect.height()));
                if (fit.font != p->font()) {
                    p->save();
                    p->setFont(fit.font);
                    copy.fontMetrics = QFontMetrics(fit.font);
                    QProxyStyle::drawControl(element, &copy, p, widget);
                    p->restore();
                } else {
                    QProxyStyle::drawControl(element, &copy, p, widget);
                }
                return;
            }
        }
        if (at >= 0 && element == CE_ToolButtonLabel) {
            if (const auto* o = qstyleoption_cast<const QStyleOptionToolButton*>(option)) {
                QStyleOptionToolButton copy(*o);
                copy.text = markMnemonic(o->text, at);
                QProxyStyle::drawControl(element, &copy, p, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, p, widget);
        if (element == CE_PushButton && (option->state & State_HasFocus))
            focusFrame(p, option);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* p,
                            const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, p, widget);
        if (control == CC_ToolButton && (option->state & State_HasFocus))
            focusFrame(p, option);
    }

    // A caption too wide for its place is drawn in a smaller font, or on
    // two lines, rather than losing letters: buttons, labels and column
    // headers all draw their text here.
    void drawItemText(QPainter* p, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text, QPalette::ColorRole role) const override {
        if (text.isEmpty() || (flags & Qt::TextWordWrap) || text.contains(u'\n') ||
            (flags & Qt::TextDontClip)) {
            QProxyStyle::drawItemText(p, rect, flags, pal, enabled, text, role);
            return;
        }
        const CaptionFit fit = fitCaption(p->font(), text, rect.size());
        if (fit.font == p->font()) {
            QProxyStyle::drawItemText(p, rect, flags, pal, enabled, text, role);
            return;
        }
        p->save();
        p->setFont(fit.font);
        const int wrapped = fit.twoLines ? (flags & ~Qt::TextSingleLine) | Qt::TextWordWrap : flags;
        QProxyStyle::drawItemText(p, rect, wrapped, pal, enabled, text, role);
        p->restore();
    }

private:
    static int mnemonicIndex(const QWidget* widget) {
        const auto* b = qobject_cast<const QAbstractButton*>(widget);
        if (!b)
            return -1;
        bool ok = false;
        const int at = b->property("mnemonicAt").toInt(&ok);
        return ok && at < b->text().size() ? at : -1;
    }

    // The platform style's focus hint on a button is a faint tint; learners
    // working from the keyboard need to see at a glance which button Enter
    // presses.
    static void focusFrame(QPainter* p, const QStyleOption* option) {
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
        p->restore();
    }
};

// Every window and dialog opens inside the screen: one placed for a
// different screen, or larger than what the zoom leaves, is moved and
// shrunk into the free area (its lists and panels take the room it keeps).
class ScreenKeeper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Show || !o->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(o);
        const Qt::WindowType type = w->windowType();
        if (!w->isWindow() || (type != Qt::Window && type != Qt::Dialog))
            return false;
        // The level windows place themselves for the designed screen.
        if (w->property("designGeometry").isValid())
            return false;
        // A window nobody placed would be placed by the window manager, which
        // may leave a large one partly off the screen: it opens centred over
        // the window it belongs to.
        if (type == Qt::Window && !w->testAttribute(Qt::WA_Moved) && w->screen()) {
            const QWidget* over = w->parentWidget() ? w->parentWidget()->window() : nullptr;
            const QRect around =
                over && over->isVisible() ? over->geometry() : w->screen()->availableGeometry();
            QRect g = w->geometry();
            g.moveCenter(around.center());
            w->move(g.topLeft());
            keepInside(w, true);
        }
        // Checked again once the window has taken its own size and place
        // (message boxes size themselves as they show).
        QTimer::singleShot(0, w, [w] { keepInside(w, false); });
        return false;
    }

private:
    static void keepInside(QWidget* w, bool showing) {
        if ((!showing && !w->isVisible()) || !w->screen())
            return;
        const QRect free = w->screen()->availableGeometry();
        QRect g = w->geometry();
        if (free.contains(g) && g.top() >= free.top() + 20)
            return;
        // Room for the title bar and frame the window manager adds.
        const int title = std::max(g.y() - w->frameGeometry().y(), 30);
        const QSize most(std::max(free.width() - 10, 100),
                         std::max(free.height() - title - 10, 100));
        if (g.width() > most.width() || g.height() > most.height())
            g.setSize(g.size().boundedTo(most).expandedTo(w->minimumSize().boundedTo(most)));
        g.moveLeft(std::clamp(g.left(), free.left() + 5,
                              std::max(free.left() + 5, free.right() - g.width() - 4)));
        g.moveTop(std::clamp(g.top(), free.top() + title,
                             std::max(free.top() + title, free.bottom() - g.height() - 4)));
        w->setGeometry(g);
    }
};

} // namespace

void prepareApplication() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QApplication::setApplicationName(QStringLiteral("orbino"));
    // No display name: the platform would append it to every window title,
    // and the course's own caption already names the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("orbino"));
    QApplication::setStyle(new OrbinoStyle); // the platform's style, one icon drawn
    // The windows are designed in Arial 10; as the application's font it is
    // also what text documents start out in, so the text panels are not laid
    // out first in the system font (a second font to load at every start).
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    QApplication::setFont(arial);
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        loadQtTranslations(*app);
        installKeyboardHelper(*app);
        app->installEventFilter(new ScreenKeeper(app));
    }
}

int runOrbino(QApplication& app, const QStringList& args) {
    prepareApplication();
    // The working directory is the program folder; the icon is optional
    // (desktops take the installed one through the desktop file name).
    if (QFileInfo::exists(QStringLiteral("ikona.ico")))
        QApplication::setWindowIcon(QIcon(QStringLiteral("ikona.ico")));
    const QScreen* screen = QGuiApplication::primaryScreen();
    ScreenMetrics metrics;
    QRect available;
    if (screen) {
        // In logical pixels: on a scaled screen the layout designed for the
        // nearest designed size, and the windows fitted to what is free.
        const QSize designed = designedScreenSize(screen->geometry().size(), screenZoomed());
        metrics.width = designed.width();
        metrics.height = designed.height();
        metrics.dpi = qRound(screen->logicalDotsPerInch());
        available = screen->availableGeometry();
    }
    RealSystemInfo system(metrics, available);
    WidgetPrompter prompter;
    WidgetShell shell;
    ModalRunner modal;
    AppState st;
    st.prompter = &prompter;
    st.shell = &shell;
    st.system = &system;

    // The level below is hidden while a level window closes, so at that
    // moment no window shows: Qt's rule of quitting when the last window
    // closes would end the program on every "Späť". The program ends when its
    // main window goes, or through the exit clean-up.
    app.setQuitOnLastWindowClosed(false);
    auto* form = new TForm1(st, modal, true);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(form, &QObject::destroyed, &app, &QCoreApplication::quit);
    form->guard([&] { form->FormCreate(args); });
    // The set-up may already have ended the program (no temp folder).
    if (form->closingForExit) {
        delete form;
        return 0;
    }
    form->show();
    form->activateWindow();
    // The start-up benchmark measures up to the first shown screen.
    if (qEnvironmentVariableIsSet("ORBINO_EXIT_AFTER_START"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    return rc;
}

} // namespace orbino
