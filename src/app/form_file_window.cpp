#include "app/form_file_window.h"

#include "platform/errors.h"
#include "platform/textfile.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace orbino {

namespace {

QJsonObject widgetProps(const QWidget& w) {
    QJsonObject o;
    const QRect g = w.geometry();
    o[QStringLiteral("geometry")] = QJsonArray{g.x(), g.y(), g.width(), g.height()};
    o[QStringLiteral("hidden")] = w.isHidden();
    o[QStringLiteral("enabled")] = w.isEnabled();
    o[QStringLiteral("font")] = w.font().toString();
    o[QStringLiteral("toolTip")] = w.toolTip();
    o[QStringLiteral("styleSheet")] = w.styleSheet();
    if (w.testAttribute(Qt::WA_SetPalette)) {
        o[QStringLiteral("fg")] = w.palette().color(QPalette::WindowText).name(QColor::HexArgb);
        o[QStringLiteral("bg")] = w.palette().color(QPalette::Window).name(QColor::HexArgb);
        o[QStringLiteral("autoFill")] = w.autoFillBackground();
    }
    if (auto* l = qobject_cast<const QLabel*>(&w))
        o[QStringLiteral("text")] = l->text();
    else if (auto* b = qobject_cast<const QAbstractButton*>(&w))
        o[QStringLiteral("text")] = b->text();
    else if (auto* t = qobject_cast<const QTextEdit*>(&w)) {
        o[QStringLiteral("html")] = t->toHtml();
        o[QStringLiteral("readOnly")] = t->isReadOnly();
    } else if (auto* p = qobject_cast<const QPlainTextEdit*>(&w))
        o[QStringLiteral("text")] = p->toPlainText();
    else if (auto* c = qobject_cast<const QComboBox*>(&w)) {
        QJsonArray items;
        for (int i = 0; i < c->count(); ++i)
            items.append(c->itemText(i));
        o[QStringLiteral("items")] = items;
        o[QStringLiteral("current")] = c->currentIndex();
    }
    return o;
}

void applyWidget(QWidget& w, const QJsonObject& o) {
    const QJsonArray g = o.value(QStringLiteral("geometry")).toArray();
    if (g.size() == 4)
        w.setGeometry(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt());
    // Setting a font or a style sheet re-polishes the control even when
    // nothing changes, and most controls are still as designed: skip those.
    QFont f;
    if (f.fromString(o.value(QStringLiteral("font")).toString()) &&
        !(w.testAttribute(Qt::WA_SetFont) && w.font() == f))
        w.setFont(f);
    w.setToolTip(o.value(QStringLiteral("toolTip")).toString());
    const QString styleSheet = o.value(QStringLiteral("styleSheet")).toString();
    if (styleSheet != w.styleSheet())
        w.setStyleSheet(styleSheet);
    if (o.contains(QStringLiteral("fg"))) {
        QPalette p = w.palette();
        p.setColor(QPalette::WindowText, QColor(o.value(QStringLiteral("fg")).toString()));
        p.setColor(QPalette::Window, QColor(o.value(QStringLiteral("bg")).toString()));
        w.setPalette(p);
        w.setAutoFillBackground(o.value(QStringLiteral("autoFill")).toBool());
    }
    if (auto* l = qobject_cast<QLabel*>(&w))
        l->setText(o.value(QStringLiteral("text")).toString());
    else if (auto* b = qobject_cast<QAbstractButton*>(&w))
        b->setText(o.value(QStringLiteral("text")).toString());
    else if (auto* t = qobject_cast<QTextEdit*>(&w)) {
        t->setHtml(o.value(QStringLiteral("html")).toString());
        t->setReadOnly(o.value(QStringLiteral("readOnly")).toBool(true));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(&w))
        p->setPlainText(o.value(QStringLiteral("text")).toString());
    else if (auto* c = qobject_cast<QComboBox*>(&w)) {
        c->clear();
        for (const auto& v : o.value(QStringLiteral("items")).toArray())
            c->addItem(v.toString());
        c->setCurrentIndex(o.value(QStringLiteral("current")).toInt(-1));
    }
    w.setEnabled(o.value(QStringLiteral("enabled")).toBool(true));
    if (const bool hidden = o.value(QStringLiteral("hidden")).toBool(); hidden != w.isHidden())
        w.setHidden(hidden);
}

} // namespace

void saveFormFile(const QWidget& form, const QString& path) {
    QJsonObject root;
    root[QStringLiteral("format")] = QStringLiteral("orbino-form-1");
    root[QStringLiteral("window")] = widgetProps(form);
    root[QStringLiteral("title")] = form.windowTitle();
    QJsonObject controls;
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        // Only designed controls: run-time buttons belong to a screen, not the template.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || w->property("runtime").toBool())
            continue;
        if (qobject_cast<const QMenu*>(w))
            continue;
        controls[name] = widgetProps(*w);
    }
    root[QStringLiteral("controls")] = controls;
    QJsonObject actions;
    for (const QAction* a : form.findChildren<QAction*>()) {
        if (a->objectName().isEmpty())
            continue;
        QJsonObject o;
        o[QStringLiteral("text")] = a->text();
        o[QStringLiteral("enabled")] = a->isEnabled();
        o[QStringLiteral("visible")] = a->isVisible();
        o[QStringLiteral("shortcut")] = a->shortcut().toString(QKeySequence::PortableText);
        actions[a->objectName()] = o;
    }
    // Menus are reached through their menu actions; key them by menu name.
    for (const QMenu* m : form.findChildren<QMenu*>()) {
        QJsonObject o;
        o[QStringLiteral("text")] = m->title();
        o[QStringLiteral("enabled")] = m->menuAction()->isEnabled();
        o[QStringLiteral("visible")] = m->menuAction()->isVisible();
        o[QStringLiteral("menu")] = true;
        actions[m->objectName()] = o;
    }
    root[QStringLiteral("actions")] = actions;
    writeFileAtomic(path, QJsonDocument(root).toJson(QJsonDocument::Indented), Flush::Scratch);
}

void applyFormFile(QWidget& form, const QString& path) {
    const QByteArray data = readFileBytes(path);
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (doc.isNull() || doc.object().value(QStringLiteral("format")).toString() != QLatin1String("orbino-form-1"))
        throw FileError(path, QStringLiteral("nie je súbor rozloženia okna (%1)").arg(err.errorString()));
    const QJsonObject root = doc.object();
    const QJsonObject controls = root.value(QStringLiteral("controls")).toObject();
    for (auto it = controls.begin(); it != controls.end(); ++it)
        if (auto* w = form.findChild<QWidget*>(it.key()))
            applyWidget(*w, it.value().toObject());
    const QJsonObject actions = root.value(QStringLiteral("actions")).toObject();
    for (auto it = actions.begin(); it != actions.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        QAction* a = nullptr;
        if (o.value(QStringLiteral("menu")).toBool()) {
            if (auto* m = form.findChild<QMenu*>(it.key())) {
                m->setTitle(o.value(QStringLiteral("text")).toString());
                a = m->menuAction();
            }
        } else if ((a = form.findChild<QAction*>(it.key()))) {
            a->setText(o.value(QStringLiteral("text")).toString());
            a->setShortcut(QKeySequence(o.value(QStringLiteral("shortcut")).toString(), QKeySequence::PortableText));
        }
        if (a) {
            a->setEnabled(o.value(QStringLiteral("enabled")).toBool(true));
            a->setVisible(o.value(QStringLiteral("visible")).toBool(true));
        }
    }
    const QJsonObject win = root.value(QStringLiteral("window")).toObject();
    const QJsonArray g = win.value(QStringLiteral("geometry")).toArray();
    if (g.size() == 4)
        form.setGeometry(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt());
    QFont f;
    if (f.fromString(win.value(QStringLiteral("font")).toString()))
        form.setFont(f);
    form.setWindowTitle(root.value(QStringLiteral("title")).toString());
}

} // namespace orbino
