#pragma once
// Helpers for the window tests: a modal runner that runs a script on each
// window instead of waiting for a person, and named controls looked up safely.
#include "platform/dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStringList>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>
#include <deque>
#include <functional>

namespace orbino::test {

// Stands in for the modal loop: records the window, shows it (unless
// `showWindows` is off) and runs on it the next of `steps`, else `answer` or
// `script`, as a person would before the window closed.
class ScriptedModal : public ModalRunner {
public:
    std::deque<std::function<void(QWidget*)>> steps; // one per window, in turn
    // When set, only windows of this class take a step; the others go to the script.
    const QMetaObject* stepsOnly = nullptr;
    std::function<void(QWidget*)> script; // every other window
    std::function<int(QWidget*)> answer;  // like script, for tests that need exec's answer (else 0)
    bool showWindows;
    explicit ScriptedModal(bool show = true) : showWindows(show) {}

    QStringList opened;  // object names, in order
    QStringList classes; // class names without the namespace, in order
    bool visibleAfterScript = false;
    int calls() const { return int(opened.size()); }

    // A step written for windows of class T.
    template <class T> void step(std::function<void(T*)> f) {
        steps.push_back([f = std::move(f)](QWidget* w) { f(qobject_cast<T*>(w)); });
    }

    int exec(QWidget* w) override {
        opened << w->objectName();
        classes
            << QString::fromLatin1(w->metaObject()->className()).section(QLatin1String("::"), -1);
        if (showWindows)
            w->show();
        int result = 0;
        if (!steps.empty() && (!stepsOnly || stepsOnly->cast(w))) {
            auto step = steps.front();
            steps.pop_front();
            step(w);
        } else if (answer) {
            result = answer(w);
        } else if (script) {
            script(w);
        }
        visibleAfterScript = w->isVisible();
        return result;
    }
};

// The control `name` of window `w`; a missing one ends the test run at once
// rather than crashing on a null pointer later.
// `w` is a window pointer, raw or smart. Tests reach a window's controls only
// this way, by their names in the form, as a screen reader does.
template <class T, class W> T* child(const W& w, const char* name) {
    T* c = static_cast<QObject*>(&*w)->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// The day button of the main screen `main` with this caption, if any.
inline QPushButton* dayButton(QWidget* main, const QString& caption) {
    for (auto* b : main->findChildren<QPushButton*>())
        if (b->objectName().startsWith(QLatin1String("Buttonx")) && b->text() == caption)
            return b;
    return nullptr;
}

// The buttons a screen build made on level window `w`, in creation order.
inline QList<QPushButton*> itemButtons(QWidget* w) {
    QList<QPushButton*> out;
    for (auto* b :
         child<QWidget>(w, "centralwidget")->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        if (b->property("runtime").toBool())
            out << b;
    return out;
}

} // namespace orbino::test
