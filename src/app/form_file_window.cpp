#include "app/form_file_window.h"

#include "app/keyboard_window.h"

#include "platform/errors.h"
#include "platform/textfile.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QWidget>

namespace orbino {

namespace {

// The form file is written as JSON text directly (it is read back with
// QJsonDocument): building it through QJsonObject cost more than the rest of
// what the start-up does with the main window.
void putString(QByteArray& out, const QString& s) {
    out += '"';
    const QByteArray utf8 = s.toUtf8();
    const char* p = utf8.constData();
    const qsizetype n = utf8.size();
    qsizetype plain = 0; // start of the run of bytes that need no escape
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = uchar(p[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(p + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            static const char hex[] = "0123456789abcdef";
            const char esc[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            out.append(esc, sizeof esc);
        }
        }
    }
    out.append(p + plain, n - plain);
    out += '"';
}

// One JSON object, its fields written in order; closed when it goes out of scope.
class JsonObject {
public:
    explicit JsonObject(QByteArray& out) : m_out(out) { m_out += '{'; }
    ~JsonObject() { m_out += '}'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    // Starts a field; its value is appended to the returned buffer.
    QByteArray& field(const QString& name) {
        if (!m_first)
            m_out += ',';
        m_first = false;
        putString(m_out, name);
        m_out += ':';
        return m_out;
    }
    void string(const QString& name, const QString& v) { putString(field(name), v); }
    void boolean(const QString& name, bool v) { field(name) += v ? "true" : "false"; }
    void number(const QString& name, int v) { field(name) += QByteArray::number(v); }

private:
    QByteArray& m_out;
    bool m_first = true;
};

// Whether an action can be chosen once it is shown. A hidden action reports
// itself disabled whatever it was set to, and a clone given that value keeps
// it after being shown: so it is read with the action shown for a moment.
bool enabledWhenShown(const QAction& action) {
    if (action.isVisible())
        return action.isEnabled();
    auto& a = const_cast<QAction&>(action);
    const QSignalBlocker quiet(a);
    a.setVisible(true);
    const bool enabled = a.isEnabled();
    a.setVisible(false);
    return enabled;
}

void widgetProps(QByteArray& out, const QWidget& w) {
    JsonObject o(out);
    // A window whose layout is designed apart from its real size keeps the design.
    const QVariant design = w.property("designGeometry");
    const QRect g = design.isValid() ? design.toRect() : w.geometry();
    o.field(QStringLiteral("geometry")) +=
        '[' + QByteArray::number(g.x()) + ',' + QByteArray::number(g.y()) + ',' +
        QByteArray::number(g.width()) + ',' + QByteArray::number(g.height()) + ']';
    o.boolean(QStringLiteral("hidden"), w.isHidden());
    // The widget's own switch: isEnabled() is also false under a disabled
    // parent, and a clone must not keep that once the parent is enabled.
    o.boolean(QStringLiteral("enabled"), !w.testAttribute(Qt::WA_ForceDisabled));
    o.string(QStringLiteral("font"), w.font().toString());
    o.string(QStringLiteral("toolTip"), w.toolTip());
    o.string(QStringLiteral("styleSheet"), w.styleSheet());
    if (w.testAttribute(Qt::WA_SetPalette)) {
        o.string(QStringLiteral("fg"),
                 w.palette().color(QPalette::WindowText).name(QColor::HexArgb));
        o.string(QStringLiteral("bg"), w.palette().color(QPalette::Window).name(QColor::HexArgb));
        o.boolean(QStringLiteral("autoFill"), w.autoFillBackground());
    }
    if (auto* l = qobject_cast<const QLabel*>(&w))
        o.string(QStringLiteral("text"), l->text());
    else if (auto* b = qobject_cast<const QAbstractButton*>(&w))
        o.string(QStringLiteral("text"), b->text());
    else if (auto* t = qobject_cast<const QTextEdit*>(&w)) {
        o.string(QStringLiteral("html"), t->toHtml());
        o.boolean(QStringLiteral("readOnly"), t->isReadOnly());
    } else if (auto* p = qobject_cast<const QPlainTextEdit*>(&w))
        o.string(QStringLiteral("text"), p->toPlainText());
    else if (auto* c = qobject_cast<const QComboBox*>(&w)) {
        QByteArray& items = o.field(QStringLiteral("items"));
        items += '[';
        for (int i = 0; i < c->count(); ++i) {
            if (i)
                items += ',';
            putString(items, c->itemText(i));
        }
        items += ']';
        o.number(QStringLiteral("current"), c->currentIndex());
    }
}

// A font from the file, or false where it is not one this program writes: the
// designed fonts are all in points, of a sensible size. A font of two billion
// pixels would take the text layout the rest of the day, and the rich-text
// controls write sizes in pixels back differently, so a window cloned from
// such a file would not match the file.
bool fontFromFile(const QJsonValue& v, QFont& f) {
    constexpr qreal largest = 1000; // points; a whole screen is less
    return f.fromString(v.toString()) && f.pixelSize() <= 0 && f.pointSizeF() > 0 &&
           f.pointSizeF() <= largest;
}

void applyWidget(QWidget& w, const QJsonObject& o) {
    const QJsonArray g = o.value(QStringLiteral("geometry")).toArray();
    if (g.size() == 4)
        w.setGeometry(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt());
    // Setting a font or a style sheet re-polishes the control even when
    // nothing changes, and most controls are still as designed: skip those.
    QFont f;
    if (fontFromFile(o.value(QStringLiteral("font")), f) &&
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

// The designed controls by name, in name order; a later control of the same
// name replaces an earlier one. Run-time buttons belong to a screen, not the
// template, and menus are written with the actions.
QMap<QString, QByteArray> controlsByName(const QWidget& form) {
    QMap<QString, QByteArray> controls;
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
            w->property("runtime").toBool() || qobject_cast<const QMenu*>(w))
            continue;
        QByteArray one;
        widgetProps(one, *w);
        controls.insert(name, one);
    }
    return controls;
}

// The actions by name and the menus by menu name (a menu is reached through
// its menu action). Texts as configured: each window marks its own mnemonics.
QMap<QString, QByteArray> actionsByName(const QWidget& form) {
    QMap<QString, QByteArray> actions;
    for (const QAction* a : form.findChildren<QAction*>()) {
        if (a->objectName().isEmpty())
            continue;
        QByteArray one;
        {
            JsonObject o(one);
            o.string(QStringLiteral("text"), configuredText(*a));
            o.boolean(QStringLiteral("enabled"), enabledWhenShown(*a));
            o.boolean(QStringLiteral("visible"), a->isVisible());
            o.string(QStringLiteral("shortcut"),
                     a->shortcut().toString(QKeySequence::PortableText));
        }
        actions.insert(a->objectName(), one);
    }
    for (const QMenu* m : form.findChildren<QMenu*>()) {
        QByteArray one;
        {
            JsonObject o(one);
            o.string(QStringLiteral("text"), configuredText(*m->menuAction()));
            o.boolean(QStringLiteral("enabled"), enabledWhenShown(*m->menuAction()));
            o.boolean(QStringLiteral("visible"), m->menuAction()->isVisible());
            o.boolean(QStringLiteral("menu"), true);
        }
        actions.insert(m->objectName(), one);
    }
    return actions;
}

void writeByName(QByteArray& into, const QMap<QString, QByteArray>& entries) {
    JsonObject o(into);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        o.field(it.key()) += it.value();
}

} // namespace

QByteArray formFileBytes(const QWidget& form) {
    QByteArray out;
    out.reserve(32 * 1024);
    {
        JsonObject root(out);
        root.string(QStringLiteral("format"), QStringLiteral("orbino-form-1"));
        widgetProps(root.field(QStringLiteral("window")), form);
        root.string(QStringLiteral("title"), form.windowTitle());
        writeByName(root.field(QStringLiteral("controls")), controlsByName(form));
        writeByName(root.field(QStringLiteral("actions")), actionsByName(form));
    }
    out += '\n';
    return out;
}

void saveFormFile(const QWidget& form, const QString& path) {
    writeFileAtomic(path, formFileBytes(form), Flush::Scratch);
}

void applyFormFile(QWidget& form, const QString& path) {
    applyFormBytes(form, readFileBytes(path), path);
}

void applyFormBytes(QWidget& form, const QByteArray& data, const QString& path) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (doc.isNull() ||
        doc.object().value(QStringLiteral("format")).toString() != QLatin1String("orbino-form-1"))
        throw FileError(path,
                        QStringLiteral("nie je súbor rozloženia okna (%1)").arg(err.errorString()));
    const QJsonObject root = doc.object();
    // The window's font first: a rich-text control takes its default font from
    // the window when its text is set, and a clone must get its text under the
    // same font as the form it was written from.
    const QJsonObject win = root.value(QStringLiteral("window")).toObject();
    QFont f;
    if (fontFromFile(win.value(QStringLiteral("font")), f))
        form.setFont(f);
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
            a->setShortcut(QKeySequence(o.value(QStringLiteral("shortcut")).toString(),
                                        QKeySequence::PortableText));
        }
        if (a) {
            a->setEnabled(o.value(QStringLiteral("enabled")).toBool(true));
            a->setVisible(o.value(QStringLiteral("visible")).toBool(true));
        }
    }
    const QJsonArray g = win.value(QStringLiteral("geometry")).toArray();
    if (g.size() == 4) {
        const QRect r(g[0].toInt(), g[1].toInt(), g[2].toInt(), g[3].toInt());
        if (form.property("designGeometry").isValid())
            form.setProperty("designGeometry", r);
        form.setGeometry(r);
    }
    form.setWindowTitle(root.value(QStringLiteral("title")).toString());
}

} // namespace orbino
