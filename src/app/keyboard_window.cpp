#include "app/keyboard_window.h"

#include "app/main_window.h"
#include "app/mnemonics.h"
#include "ui_tform1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>

#include <algorithm>

namespace orbino {

namespace {

// Properties that remember what we marked, so a second pass neither marks
// twice nor takes a caption changed since for one of ours.
constexpr char kPlain[] = "orbinoPlainText";
constexpr char kShown[] = "orbinoShownText";
constexpr char kOwnShortcut[] = "orbinoMnemonicShortcut";

QString plainOf(const QAction& a) {
    const QVariant shown = a.property(kShown);
    if (shown.isValid() && shown.toString() == a.text())
        return a.property(kPlain).toString();
    return a.text();
}

void markAction(QAction* a, QSet<QChar>& used) {
    const QString plain = plainOf(*a);
    // A caption written with its own marker keeps it.
    if (!a->property(kShown).isValid() || a->property(kShown).toString() != a->text()) {
        const QChar own = mnemonicKey(a->text());
        if (!own.isNull()) {
            used.insert(own);
            return;
        }
    }
    const int pos = mnemonicPosition(plain, used);
    const QString shown = markMnemonic(plain, pos);
    a->setProperty(kPlain, plain);
    a->setProperty(kShown, shown);
    if (a->text() != shown)
        a->setText(shown);
}

void markMenu(QMenu* menu) {
    QSet<QChar> used;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        markAction(a, used);
        if (a->menu())
            markMenu(a->menu());
    }
}

Qt::Key keyOf(QChar c) {
    const char16_t u = c.toLower().unicode();
    if (u >= u'a' && u <= u'z')
        return Qt::Key(Qt::Key_A + (u - u'a'));
    return Qt::Key(Qt::Key_0 + (u - u'0'));
}

class KeyboardHelper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(e);
            const bool enter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
            const auto mods = ke->modifiers() & ~Qt::KeypadModifier;
            auto* b = qobject_cast<QAbstractButton*>(o);
            // Key presses go to the focused control: a button receiving Enter has the focus.
            if (enter && mods == Qt::NoModifier && b && b->isEnabled() &&
                (qobject_cast<QPushButton*>(b) || qobject_cast<QToolButton*>(b))) {
                if (!ke->isAutoRepeat())
                    b->animateClick();
                return true;
            }
        } else if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w->isWindow() && (qobject_cast<QDialog*>(w) || qobject_cast<QMainWindow*>(w)))
                assignMnemonics(w);
        }
        return QObject::eventFilter(o, e);
    }
};

} // namespace

void installKeyboardHelper(QApplication& app) {
    static KeyboardHelper* helper = nullptr;
    if (helper)
        return;
    helper = new KeyboardHelper(&app);
    app.installEventFilter(helper);
}

bool loadQtTranslations(QApplication& app) {
    static QTranslator* qt = nullptr;
    if (qt)
        return true;
    auto* t = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale system;
    const bool loaded = (system.language() != QLocale::C &&
                         t->load(system, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) ||
                        t->load(QLocale(QLocale::Slovak, QLocale::Slovakia),
                                QStringLiteral("qtbase"), QStringLiteral("_"), folder);
    if (!loaded || !QCoreApplication::installTranslator(t)) {
        delete t;
        return false;
    }
    qt = t;
    return true;
}

void assignMnemonics(QWidget* window) {
    if (!window)
        return;
    QSet<QChar> used;
    if (auto* mw = qobject_cast<QMainWindow*>(window); mw && mw->menuWidget()) {
        if (auto* bar = qobject_cast<QMenuBar*>(mw->menuWidget())) {
            for (QAction* a : bar->actions()) {
                if (a->isSeparator() || !a->isVisible())
                    continue;
                markAction(a, used);
                if (a->menu())
                    markMenu(a->menu());
            }
        }
    }
    // Buttons top to bottom, then left to right, as the eye reads the window.
    QList<QAbstractButton*> buttons;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->window() == window && b->isVisibleTo(window))
            buttons << b;
    auto place = [window](QAbstractButton* b) { return b->mapTo(window, QPoint(0, 0)); };
    std::stable_sort(buttons.begin(), buttons.end(), [&](QAbstractButton* a, QAbstractButton* b) {
        const QPoint pa = place(a), pb = place(b);
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    // Keys a caption already marks itself (Qt's own dialogs) come first.
    QList<QAbstractButton*> ours;
    for (QAbstractButton* b : buttons) {
        const QChar own = mnemonicKey(b->text());
        if (!own.isNull())
            used.insert(own);
        else if (b->shortcut().isEmpty() || b->property(kOwnShortcut).toBool())
            ours << b;
    }
    // Buttons on every screen ("Späť", "Koniec") choose first, so their keys
    // do not change from screen to screen.
    std::stable_partition(ours.begin(), ours.end(),
                          [](QAbstractButton* b) { return b->property("mnemonicFirst").toBool(); });
    for (QAbstractButton* b : ours) {
        const int pos = mnemonicPosition(b->text(), used);
        // The style draws the underline at this index (see OrbinoStyle).
        b->setProperty("mnemonicAt", pos);
        b->setProperty(kOwnShortcut, true);
        b->setShortcut(pos >= 0 ? QKeySequence(Qt::ALT | keyOf(b->text().at(pos)))
                                : QKeySequence());
        b->update();
    }
}

QString configuredText(const QAction& action) {
    return plainOf(action);
}

} // namespace orbino

// --- the main and level windows ---------------------------------------------

namespace orbino {

void TForm1::keyboardOrder() {
    QList<QWidget*> order{ui->Memo1, ui->Memo2, ui->Label15, ui->Memo3, ui->Memo4};
    // Day and item buttons top to bottom, as they stand on the screen.
    QList<QWidget*> runtime;
    for (QWidget* w : ui->centralwidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->property("runtime").toBool() && w->focusPolicy() != Qt::NoFocus)
            runtime << w;
    std::stable_sort(runtime.begin(), runtime.end(), [](QWidget* a, QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    order << runtime;
    order << QList<QWidget*>{ui->Zadanie, ui->Button1, ui->ComboBox1, ui->ComboBox2,
                             ui->SpeedButton1, ui->SpeedButton2,
                             // the teacher's way in comes last
                             ui->Ako};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    ui->SpeedButton1->setProperty("mnemonicFirst", true);
    ui->SpeedButton2->setProperty("mnemonicFirst", true);
    assignMnemonics(this);
}

} // namespace orbino
