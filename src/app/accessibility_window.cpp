#include "app/accessibility_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "ui_tform1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace orbino {

namespace {

constexpr char kStatusLine[] = "orbinoStatusLine";

void keyboardSelection(QAbstractScrollArea* panel) {
    const Qt::TextInteractionFlags reading =
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    if (auto* t = qobject_cast<QTextEdit*>(panel)) {
        t->setTabChangesFocus(true);
        if (t->isReadOnly())
            t->setTextInteractionFlags(t->textInteractionFlags() | reading);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(panel)) {
        p->setTabChangesFocus(true);
        if (p->isReadOnly())
            p->setTextInteractionFlags(p->textInteractionFlags() | reading);
    }
}

// Making a panel read-only again (after editing) gives it the mouse-only
// selection of a read-only box; the keyboard's caret comes back here.
class KeepKeyboardSelection : public QObject {
public:
    explicit KeepKeyboardSelection(QAbstractScrollArea* panel) : QObject(panel), m_panel(panel) {
        panel->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == m_panel && e->type() == QEvent::ReadOnlyChange)
            keyboardSelection(m_panel);
        return false;
    }

private:
    QAbstractScrollArea* m_panel;
};

class CtrlTabTypesTab : public QObject {
public:
    explicit CtrlTabTypesTab(QPlainTextEdit* box) : QObject(box), m_box(box) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o != m_box || (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride))
            return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() != Qt::Key_Tab || ke->modifiers() != Qt::ControlModifier)
            return false;
        // Claimed before any window shortcut can take it, typed when it comes.
        if (e->type() == QEvent::ShortcutOverride) {
            e->accept();
            return true;
        }
        if (!m_box->isReadOnly())
            m_box->insertPlainText(QStringLiteral("\t"));
        return true;
    }

private:
    QPlainTextEdit* m_box;
};

// A status line is a notification to a screen reader, which speaks it
// when it shows; its name is the text it shows.
class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            if (auto* l = qobject_cast<QLabel*>(widget()))
                return l->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* statusLineFactory(const QString&, QObject* o) {
    if (o && o->isWidgetType() && o->property(kStatusLine).toBool())
        return new StatusLineAccessible(static_cast<QWidget*>(o));
    return nullptr;
}

// Qt's link to a screen reader comes up a moment after the program
// starts, and whatever happened before it (the main window activated, a
// button focused) was never told: a screen reader started first stayed
// silent until the first Tab. Once the link is up, the window in front and
// its focused control are told again.
class AnnounceWhenLinked : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override {
        if (!active)
            return;
        QTimer::singleShot(0, qApp, [] {
            QWidget* window = QApplication::activeWindow();
            if (!window)
                return;
            QAccessible::State activated;
            activated.active = true;
            QAccessibleStateChangeEvent front(window, activated);
            QAccessible::updateAccessibility(&front);
            if (QWidget* focus = QApplication::focusWidget()) {
                QAccessibleEvent focused(focus, QAccessible::Focus);
                QAccessible::updateAccessibility(&focused);
            }
        });
    }
};

// Shows a status line once its window is activated, after the focus
// there has been told.
class ShowWhenActive : public QObject {
public:
    ShowWhenActive(QWidget* window, QLabel* line, QString text)
        : QObject(line), m_line(line), m_text(std::move(text)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::WindowActivate) {
            o->removeEventFilter(this);
            QTimer::singleShot(0, m_line,
                               [line = m_line, text = m_text] { showOnStatusLine(line, text); });
            deleteLater();
        }
        return false;
    }

private:
    QLabel* m_line;
    QString m_text;
};

} // namespace

void readableByKeyboard(QAbstractScrollArea* panel) {
    keyboardSelection(panel);
    new KeepKeyboardSelection(panel);
}

void tabMovesOn(QPlainTextEdit* box) {
    box->setTabChangesFocus(true);
    new CtrlTabTypesTab(box);
}

void makeStatusLine(QLabel* label) {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(statusLineFactory);
        installed = true;
    }
    label->setProperty(kStatusLine, true);
}

void showOnStatusLine(QLabel* label, const QString& text) {
    // Shown anew, so that a screen reader hears it also when the text is
    // the same as last time.
    label->hide();
    label->setText(text);
    label->show();
    label->raise();
}

// --- the main and level windows ---------------------------------------------

void TForm1::prepareForScreenReaders() {
    static AnnounceWhenLinked* announce = nullptr;
    if (!announce) {
        announce = new AnnounceWhenLinked;
        QAccessible::installActivationObserver(announce);
    }
    readableByKeyboard(ui->Memo1);
    readableByKeyboard(ui->Memo2);
    // The points box only shows what the evaluation wrote into it.
    ui->Memo4->setReadOnly(true);
    readableByKeyboard(ui->Memo4);
    // Without a description of its own, the panel's mouse hint would be
    // read at every focus; the hint stays the tooltip.
    ui->Memo1->setAccessibleDescription(QStringLiteral("Šípky čítajú text po riadkoch"));
    // A link list is read with the link it shows.
    for (QComboBox* links : {ui->ComboBox1, ui->ComboBox2})
        connect(links, &QComboBox::currentTextChanged, links,
                [links](const QString& text) { links->setAccessibleDescription(text); });
}

void TForm1::presentScreen() {
    // Every level window has the configured title; a screen reader tells
    // the screens apart by the heading.
    const QString heading = ui->Label1->text().simplified();
    if ((!isMainWindow() || st.searchMode()) && !heading.isEmpty())
        setAccessibleName(windowTitle() + QStringLiteral(" – ") + heading);
    ui->Memo1->moveCursor(QTextCursor::Start);
    // Reading starts at the lesson text, else at the first button of the screen.
    QWidget* first = nullptr;
    if (ui->Memo1->isVisibleTo(this) && !ui->Memo1->document()->isEmpty())
        first = ui->Memo1;
    for (const auto& buttons : {itemButtons, dayButtons})
        for (const QPointer<QPushButton>& b : buttons)
            if (!first && b && b->isVisibleTo(this) && b->isEnabled())
                first = b;
    if (first)
        first->setFocus(Qt::OtherFocusReason);
}

void TForm1::focusReturnsTo(QAbstractButton* pressed) {
    if (pressed && pressed->window() == this && pressed->isVisibleTo(this))
        pressed->setFocus(Qt::OtherFocusReason);
}

void TForm1::focusEvaluation() {
    QLabel* score = ui->Label14;
    QLabel* verdict = ui->Label15;
    if (!verdict->isVisibleTo(this) || verdict->text().isEmpty())
        return;
    // The verdict takes the focus, labelled by the score line, so that a
    // screen reader says both, the score first, as the screen comes back.
    score->setBuddy(verdict);
    verdict->setFocusPolicy(Qt::StrongFocus);
    verdict->setFocus(Qt::OtherFocusReason);
}

void TForm1::confirmOnStatusLine(const QString& text) {
    auto* line = ui->centralwidget->findChild<QLabel*>(QStringLiteral("StatusLine"),
                                                       Qt::FindDirectChildrenOnly);
    if (!line) {
        line = new QLabel(ui->centralwidget);
        line->setObjectName(QStringLiteral("StatusLine"));
        makeStatusLine(line);
    }
    // Beside "Koniec", where nothing else stands.
    const QRect end = ui->SpeedButton2->geometry();
    const int x = end.right() + 2 * st.scale;
    line->setGeometry(x, end.y(), std::max(100, designWidth() - x - 20), end.height());
    if (isActiveWindow()) {
        showOnStatusLine(line, text);
        return;
    }
    // Said when this window is in front again (the notes window is still
    // closing), else a screen reader would cut it off with the window's name.
    line->hide();
    auto* later = new ShowWhenActive(this, line, text);
    Q_UNUSED(later);
}

} // namespace orbino
