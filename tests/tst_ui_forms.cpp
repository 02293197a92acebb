// Every form file, read at run time as Qt Designer reads it, must build the
// same widget tree as the compiled form the program uses: a form re-saved by
// hand or by Designer that lost a widget, a position or a name fails here.
#include "ui_about_program_window.h"
#include "ui_about_window.h"
#include "ui_ako_window.h"
#include "ui_copy_window.h"
#include "ui_editor_window.h"
#include "ui_exercise_window.h"
#include "ui_help_window.h"
#include "ui_links_window.h"
#include "ui_notes_window.h"
#include "ui_password_window.h"
#include "ui_picture_window.h"
#include "ui_reklama_window.h"
#include "ui_tform1.h"
#include "ui_tree_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTest>
#include <QUiLoader>

#include <functional>
#include <memory>
#include <vector>

namespace {

// What a form fixes about each named widget, one line per widget, sorted by
// name so that the order children are created in does not matter.
QStringList describe(const QWidget* top) {
    QStringList lines;
    QList<const QWidget*> all{top};
    for (const QWidget* w : top->findChildren<QWidget*>())
        all << w;
    for (const QWidget* w : all) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QRect g = w->geometry();
        QStringList parts{
            w->objectName(),
            QString::fromLatin1(w->metaObject()->className()),
            QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()),
            w->parentWidget() ? w->parentWidget()->objectName() : QString(),
            w->windowTitle(),
            w->accessibleName(),
            w->toolTip(),
            w->font().toString(),
            w->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"),
            w->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")};
        for (const char* prop : {"text", "plainText", "placeholderText", "title", "alignment",
                                 "wordWrap", "readOnly", "frameShape", "styleSheet", "checkable"}) {
            const QVariant v = w->property(prop);
            if (v.isValid())
                parts << QStringLiteral("%1=%2").arg(QLatin1String(prop), v.toString());
        }
        lines << parts.join(QLatin1Char('|'));
    }
    lines.sort();
    return lines;
}

template <typename Ui, typename Base> std::unique_ptr<QWidget> compiled() {
    auto w = std::make_unique<Base>();
    Ui ui;
    ui.setupUi(w.get());
    return w;
}

using Maker = std::function<std::unique_ptr<QWidget>()>;

struct Form {
    const char* file;
    Maker make;
};

// Every form of the program with its compiled class and the widget it is set up on.
std::vector<Form> forms() {
    return {{"app/tform1.ui", compiled<Ui::TForm1, QMainWindow>},
            {"content/editor_window.ui", compiled<Ui::TOknoEditLek, QDialog>},
            {"content/exercise_window.ui", compiled<Ui::TOknoUlohy, QDialog>},
            {"content/password_window.ui", compiled<Ui::TOknoHeslo, QDialog>},
            {"content/picture_window.ui", compiled<Ui::TOknoObrazku, QDialog>},
            {"info/about_program_window.ui", compiled<Ui::TOknoOPrg, QDialog>},
            {"info/about_window.ui", compiled<Ui::TOknoAbout, QDialog>},
            {"info/ako_window.ui", compiled<Ui::TOknoAko, QDialog>},
            {"info/help_window.ui", compiled<Ui::TOknoHelp, QDialog>},
            {"info/reklama_window.ui", compiled<Ui::TOknoReklama, QDialog>},
            {"tools/copy_window.ui", compiled<Ui::TOknoKopy, QDialog>},
            {"tools/links_window.ui", compiled<Ui::TOknoOdkazy, QDialog>},
            {"tools/notes_window.ui", compiled<Ui::TOknoPoznamka, QDialog>},
            {"tree/tree_window.ui", compiled<Ui::TOknoHladaj, QMainWindow>}};
}

} // namespace

Q_DECLARE_METATYPE(Maker)

class TstForms : public QObject {
    Q_OBJECT
private slots:
    void loadedMatchesCompiled_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Maker>("make");
        for (const Form& f : forms())
            QTest::newRow(f.file) << QString::fromLatin1(f.file) << f.make;
    }

    void loadedMatchesCompiled() {
        QFETCH(QString, file);
        QFETCH(Maker, make);
        QFile f(QStringLiteral(ORBINO_SOURCE "/src/") + file);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        QUiLoader loader;
        std::unique_ptr<QWidget> loaded(loader.load(&f));
        QVERIFY2(loaded, qPrintable(loader.errorString()));
        const std::unique_ptr<QWidget> built = make();
        const QStringList want = describe(built.get());
        const QStringList got = describe(loaded.get());
        QVERIFY(want.size() > 1);
        QCOMPARE(got, want);
    }

    // A form added to the program without a row above would go unchecked.
    void everyFormIsChecked() {
        QStringList found, listed;
        for (const Form& f : forms())
            listed << QString::fromLatin1(f.file);
        const QDir src(QStringLiteral(ORBINO_SOURCE "/src"));
        for (const QString& dir : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString& ui : QDir(src.filePath(dir)).entryList({QStringLiteral("*.ui")}))
                found << dir + QLatin1Char('/') + ui;
        found.sort();
        listed.sort();
        QCOMPARE(found, listed);
    }
};

QTEST_MAIN(TstForms)
#include "tst_ui_forms.moc"
