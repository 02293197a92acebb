// The information windows on real widgets (offscreen), opened from a main
// window through its handlers: the teacher gate, placement, the help texts
// (the course's own and missing ones), documents and addresses.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/password_window.h"
#include "info/ako_window.h"
#include "info/help_window.h"
#include "info/info_texts.h"
#include "platform/dialogs_window.h"
#include "platform/rtf_reader.h"
#include "support/windows.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include <functional>

using namespace orbino;
using namespace orbino::test;

namespace {

struct Course {
    QTemporaryDir dir;
    QString prog;
    std::unique_ptr<TestState> t;
    ScriptedModal modal{false};                // windows stay hidden
    std::function<void(TOknoHeslo*)> password; // default: cancel
    std::function<void(QWidget*)> other;       // any other window
    std::unique_ptr<TForm1> form;
    explicit Course(int screenWidth = 1024, const QStringList& config = {}) {
        modal.script = [this](QWidget* w) {
            if (auto* h = qobject_cast<TOknoHeslo*>(w)) {
                if (password)
                    password(h);
                else
                    h->Button2Click();
            } else if (other) {
                other(w);
            }
        };
        prog = dir.path() + "/kurz/";
        QDir().mkpath(prog + "tmp");
        writeCourseFile(prog + "CONFIG.TXT", QStringList{"Skúšobný kurz"} + config);
        t = std::make_unique<TestState>(prog, prog + "tmp");
        t->system.metrics.width = screenWidth;
        t->system.metrics.height = screenWidth == 1024 ? 768 : screenWidth * 3 / 4;
        st().scale = screenWidth == 1024 ? 12 : 10;
        form = std::make_unique<TForm1>(st(), modal, false);
    }
    AppState& st() { return t->st; }
    void typePassword(const QString& text) {
        password = [text](TOknoHeslo* h) {
            child<QLineEdit>(h, "MaskEdit1")->setText(text);
            h->Button1Click();
        };
    }
};

const QByteArray kRtf = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}"
                        "\\f0 {\\b N\\'e1vod} na pr\\'e1cu\\par}";

} // namespace

class TestUiInfo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void teacherGate_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("typed"); // empty: the teacher cancels
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("signedInAfter");
        QTest::newRow("not signed in, cancels")
            << "Ako pracovať s CD" << false << "" << QStringList{"TOknoHeslo"} << false;
        QTest::newRow("not signed in, wrong password")
            << "Ako pracovať s CD" << false << "ziak" << QStringList{"TOknoHeslo"} << false;
        QTest::newRow("not signed in, right password")
            << "Ako pracovať s CD" << false << "ucitel" << QStringList{"TOknoHeslo", "TOknoAko"}
            << true;
        QTest::newRow("signed in earlier")
            << "Ako pracovať s CD" << true << "" << QStringList{"TOknoAko"} << true;
        QTest::newRow("button renamed by the course")
            << "Pomoc pre učiteľa" << false << "" << QStringList{"TOknoAko"} << false;
    }
    void teacherGate() {
        QFETCH(QString, caption);
        QFETCH(bool, signedIn);
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QFETCH(bool, signedInAfter);
        Course c;
        writeBytes(c.prog + "ako.rtf", kRtf);
        c.st().teacherLoggedIn = signedIn;
        child<QPushButton>(c.form, "Ako")->setText(caption);
        if (!typed.isEmpty()) {
            c.typePassword(typed);
            // A wrong password keeps the window open; the teacher then gives up.
            if (typed != "ucitel") {
                auto type = c.password;
                c.password = [type](TOknoHeslo* h) {
                    type(h);
                    h->Button2Click();
                };
            }
        }
        child<QAbstractButton>(c.form, "Ako")->click();
        QCOMPARE(c.modal.classes, shown);
        QCOMPARE(c.st().teacherLoggedIn, signedInAfter);
    }

    void howToPlace_data() {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<QPoint>("pos");
        QTest::newRow("1024 pixels") << 1024 << QPoint(50, 50);
        QTest::newRow("800 pixels") << 800 << QPoint(6, -2);
        QTest::newRow("1280 pixels") << 1280 << QPoint(6, -2);
    }
    void howToPlace() {
        QFETCH(int, screenWidth);
        QFETCH(QPoint, pos);
        Course c(screenWidth);
        c.st().teacherLoggedIn = true;
        writeBytes(c.prog + "ako.rtf", kRtf);
        QPoint seen(-1000, -1000);
        QString text;
        c.other = [&](QWidget* w) {
            seen = w->pos();
            text = child<QTextEdit>(static_cast<TOknoAko*>(w), "Memo1")->toPlainText();
        };
        child<QAbstractButton>(c.form, "Ako")->click();
        QCOMPARE(seen, pos);
        QCOMPARE(text, QString("Návod na prácu"));
    }

    void missingTextIsReportedAndTheWindowStillOpens_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("file");
        QTest::newRow("help") << "help"
                              << "Help.rtf";
        QTest::newRow("how-to") << "ako"
                                << "ako.rtf";
    }
    void missingTextIsReportedAndTheWindowStillOpens() {
        QFETCH(QString, which);
        QFETCH(QString, file);
        Course c;
        c.st().teacherLoggedIn = true;
        QString textShown = "?";
        c.other = [&](QWidget* w) {
            auto* memo = w->findChild<QTextEdit*>("Memo1");
            textShown = memo->toPlainText();
        };
        if (which == "help")
            child<QAction>(c.form, "Help1")->trigger();
        else
            child<QAbstractButton>(c.form, "Ako")->click();
        QCOMPARE(c.modal.classes.size(), 1);
        QVERIFY(textShown.isEmpty());
        QCOMPARE(int(c.t->prompter.shown.size()), 1);
        QCOMPARE(c.t->prompter.shown[0].kind, MsgKind::Error);
        QVERIFY2(c.t->prompter.shown[0].text.contains(c.prog + file),
                 qPrintable(c.t->prompter.shown[0].text));
    }

    void helpShowsItsTextCentredWithTheConfiguredCaption() {
        Course c(1024, {"*MENU HELP*Pomocník kurzu"});
        writeBytes(c.prog + "help.RTF", kRtf); // the course's own case
        QString title;
        QPoint pos;
        QSize size;
        bool bold = false;
        c.other = [&](QWidget* w) {
            auto* h = static_cast<TOknoHelp*>(w);
            title = h->windowTitle();
            pos = h->pos();
            size = h->size();
            QTextCursor cur(child<QTextEdit>(h, "Memo1")->document());
            cur.setPosition(2);
            bold = cur.charFormat().fontWeight() == QFont::Bold;
        };
        child<QAction>(c.form, "Help1")->trigger();
        QCOMPARE(title, QString("Pomocník kurzu"));
        QVERIFY(bold);
        QCOMPARE(pos, QPoint((1024 - size.width()) / 2, (768 - size.height()) / 2));
        QVERIFY(c.t->prompter.shown.empty());
    }

    // The sample course's own texts: readable rich text in code page 1250.
    void sampleCourseTexts_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("help") << "Help.rtf"
                              << "Pomocník programu Orbino";
        QTest::newRow("how-to") << "ako.rtf"
                                << "Ako pracovať s týmto CD";
    }
    void sampleCourseTexts() {
        QFETCH(QString, file);
        QFETCH(QString, firstLine);
        QTextDocument doc;
        QVERIFY(loadRtfFile(QString(ORBINO_EXAMPLES) + "/course/" + file, doc));
        const QStringList lines = plainLines(doc);
        QVERIFY(lines.size() > 10);
        QCOMPARE(lines.first(), firstLine);
        QVERIFY(!doc.toPlainText().contains(QChar(0xfffd)));
        QTextCursor cur(&doc);
        cur.setPosition(1);
        QCOMPARE(cur.charFormat().fontWeight(), int(QFont::Bold));
    }

    void documentButtons_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("opened"); // empty: nothing opens
        QTest::newRow("help: help.doc") << "help"
                                        << "Button2"
                                        << "help.doc"
                                        << "help.doc";
        QTest::newRow("how-to: help.doc") << "ako"
                                          << "Button2"
                                          << "HELP.DOC"
                                          << "HELP.DOC";
        QTest::newRow("how-to: plan") << "ako"
                                      << "Button1"
                                      << "PlanPrace.doc"
                                      << "PlanPrace.doc";
        QTest::newRow("how-to: plan missing") << "ako"
                                              << "Button1"
                                              << "help.doc"
                                              << "";
    }
    void documentButtons() {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, onDisk);
        QFETCH(QString, opened);
        Course c;
        c.st().teacherLoggedIn = true;
        writeBytes(c.prog + "Help.rtf", kRtf);
        writeBytes(c.prog + "ako.rtf", kRtf);
        if (!onDisk.isEmpty())
            writeBytes(c.prog + onDisk, "dokument");
        c.other = [&](QWidget* w) {
            w->show();
            QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton);
            QVERIFY(w->isVisible()); // the window stays for reading
        };
        if (window == "help")
            child<QAction>(c.form, "Help1")->trigger();
        else
            child<QAbstractButton>(c.form, "Ako")->click();
        if (opened.isEmpty()) {
            QVERIFY(c.t->shell.calls.empty());
        } else {
            QCOMPARE(int(c.t->shell.calls.size()), 1);
            QCOMPARE(c.t->shell.calls[0].program, c.prog + opened);
        }
        QVERIFY(c.t->prompter.shown.empty());
    }

    void clickableAddresses_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("target");
        const QString mail = "mailto:" + contactMailAddress();
        const QList<CreditLine> credits = creditLines();
        QTest::newRow("about: mail") << "about"
                                     << "Label1" << mail;
        QTest::newRow("write to us: mail") << "write"
                                           << "Label1" << mail;
        QTest::newRow("credits: 1") << "credits"
                                    << "Label2" << credits[0].address;
        QTest::newRow("credits: 4") << "credits"
                                    << "Label8" << credits[3].address;
        QTest::newRow("credits: plain text") << "credits"
                                             << "Label1"
                                             << "";
    }
    void clickableAddresses() {
        QFETCH(QString, window);
        QFETCH(QString, label);
        QFETCH(QString, target);
        Course c;
        c.other = [&](QWidget* w) {
            w->show();
            auto* l = w->findChild<QLabel*>(label);
            QTest::mouseClick(l, Qt::LeftButton, {}, l->rect().center());
        };
        if (window == "about")
            child<QAction>(c.form, "Oprograme1")->trigger();
        else if (window == "write")
            child<QAction>(c.form, "Ohlasyautorom1")->trigger();
        else
            child<QAction>(c.form, "Reklama1")->trigger();
        if (target.isEmpty()) {
            QVERIFY(c.t->shell.calls.empty());
        } else {
            QCOMPARE(int(c.t->shell.calls.size()), 1);
            QCOMPARE(c.t->shell.calls[0].program, target);
        }
    }

    // Sized to their controls: nothing sticks out of a window and no label is
    // cut short.
    void everythingFits_data() {
        QTest::addColumn<QString>("window");
        for (const char* w : {"help", "ako", "about", "write", "credits"})
            QTest::newRow(w) << QString(w);
    }
    void everythingFits() {
        QFETCH(QString, window);
        Course c;
        c.st().teacherLoggedIn = true;
        writeBytes(c.prog + "Help.rtf", kRtf);
        writeBytes(c.prog + "ako.rtf", kRtf);
        bool checked = false;
        c.other = [&](QWidget* w) {
            w->show();
            for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isWindow() || child->isHidden())
                    continue;
                QVERIFY2(w->rect().contains(child->geometry()), qPrintable(child->objectName()));
                if (auto* l = qobject_cast<QLabel*>(child))
                    QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->objectName()));
            }
            checked = true;
        };
        if (window == "help")
            child<QAction>(c.form, "Help1")->trigger();
        else if (window == "ako")
            child<QAbstractButton>(c.form, "Ako")->click();
        else if (window == "about")
            child<QAction>(c.form, "Oprograme1")->trigger();
        else if (window == "write")
            child<QAction>(c.form, "Ohlasyautorom1")->trigger();
        else
            child<QAction>(c.form, "Reklama1")->trigger();
        QVERIFY(checked);
        QVERIFY(c.t->prompter.shown.empty());
    }
};

QTEST_MAIN(TestUiInfo)
#include "tst_ui_info.moc"
