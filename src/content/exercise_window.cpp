#include "content/exercise_window.h"

#include "app/accessibility_window.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/lesson_text.h"
#include "content/password_window.h"
#include "content/player.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "ui_exercise_window.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace orbino {

TOknoUlohy::TOknoUlohy(TForm1& form, QWidget* parent)
    : QDialog(parent), ui(new Ui::TOknoUlohy), m_form(form), st(form.st) {
    ui->setupUi(this);
    setObjectName(QStringLiteral("TOknoUlohy"));
    // No title-bar buttons: the window ends through the evaluation only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Úlohy"));
    // 461 × 384 with the frame and title bar; larger when the learner
    // drags it so, the exercise's text taking the room.
    setMinimumSize(453, 354);
    resize(453, 354);
    for (QWidget* w : {static_cast<QWidget*>(ui->Label2), static_cast<QWidget*>(ui->Memo1),
                       static_cast<QWidget*>(ui->Label1), static_cast<QWidget*>(ui->Button1),
                       static_cast<QWidget*>(ui->Button2), static_cast<QWidget*>(ui->Button3)})
        w->setProperty("designedPlace", w->geometry());
    ui->Memo1->document()->setDocumentMargin(10);
    // The task's text is read by line, then Tab goes on to the answers.
    ui->Memo1->setFocusPolicy(Qt::StrongFocus);
    readableByKeyboard(ui->Memo1);
    QWidget::setTabOrder(ui->Memo1, ui->Button1);
    QWidget::setTabOrder(ui->Button1, ui->Button2);
    QWidget::setTabOrder(ui->Button2, ui->Button3);
    connect(ui->Button1, &QPushButton::clicked, this,
            [this] { m_form.guard([this] { Button1Click(); }); });
    connect(ui->Button2, &QPushButton::clicked, this,
            [this] { m_form.guard([this] { Button2Click(); }); });
    connect(ui->Button3, &QPushButton::clicked, this,
            [this] { m_form.guard([this] { Button3Click(); }); });
}

TOknoUlohy::~TOknoUlohy() {
    delete ui;
}

QString TOknoUlohy::exerciseTextPath() const {
    const int level = std::clamp(m_form.level, 1, kMaxLevel + 1);
    return resolvePath(st.levelFolderPath(level) + lessonBase(st.levels.listFile(level)) +
                       QStringLiteral(".rtf"));
}

void TOknoUlohy::FormCreate() {
    m_test.reset();
    m_evaluated = false;
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(12);
    ui->Memo1->setFont(f);
    ui->Memo1->document()->setDefaultFont(f);
    ui->Memo1->clear();
    const QString path = exerciseTextPath();
    if (!isFile(path))
        throw FileError(path, QStringLiteral("súbor s úlohami neexistuje"));
    if (!loadRtfFile(path, *ui->RichEdit1->document()))
        throw FileError(path, QStringLiteral("súbor s úlohami sa nedá prečítať"));
    m_lines = documentLines(*ui->RichEdit1->document());
    QStringList texts;
    texts.reserve(m_lines.size());
    for (const TextLine& l : m_lines)
        texts << l.text;
    QList<Exercise> exercises = splitExercises(texts);
    if (exercises.isEmpty())
        throw FileError(path, QStringLiteral("text neobsahuje žiadnu úlohu"));
    m_test = std::make_unique<ExerciseTest>(std::move(exercises));
    Uloha();
}

void TOknoUlohy::Uloha() {
    const Exercise* ex = m_test ? m_test->current() : nullptr;
    if (!ex)
        return;
    m_shownNumber = ex->number;
    ui->Label2->setText(QStringLiteral("Vyrieš nasledovnú úlohu č. ") +
                        QString::number(ex->number) + QStringLiteral(":"));
    // Lines go straight from document to document with their formats; the
    // learner's clipboard is never touched.
    renderExercise(*ui->RichEdit1->document(), m_lines, *ex, *ui->Memo1->document());
    ui->Memo1->verticalScrollBar()->setValue(0);
    presentTask();
}

void TOknoUlohy::presentTask() {
    ui->Memo1->setAccessibleName(ui->Label2->text());
    // A screen reader reads the line at the caret as the text takes the
    // focus; the rest of the task is its description, so the whole task is
    // heard as it comes.
    QTextCursor rest(ui->Memo1->document());
    rest.movePosition(QTextCursor::EndOfLine);
    rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    ui->Memo1->setAccessibleDescription(
        rest.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char(' ')).simplified());
    // Focused anew even when it had the focus, so the new task is read; the
    // caret goes to the top after the focus, else a screen reader takes the
    // caret's move for the focus and says nothing.
    if (ui->Memo1->hasFocus())
        ui->Memo1->clearFocus();
    ui->Memo1->setFocus(Qt::OtherFocusReason);
    ui->Memo1->moveCursor(QTextCursor::Start);
}

void TOknoUlohy::Button1Click() {
    if (!m_test || m_test->finished())
        return;
    m_test->answer(true);
    answered();
}

void TOknoUlohy::Button2Click() {
    if (!m_test || m_test->finished())
        return;
    m_test->answer(false);
    answered();
}

void TOknoUlohy::answered() {
    if (m_test->finished())
        Vyhodnot();
    else
        Uloha();
}

void TOknoUlohy::Button3Click() {
    if (!m_shownNumber)
        return;
    bool permitted = st.solutionPasswordFlag;
    if (permitted) {
        st.launchPermission = true;
    } else {
        // Owned by this window, not by the minimised level window, so that
        // the window manager does not hide it along with that one.
        TOknoHesloZ password(st, this);
        m_form.modal.exec(&password);
        permitted = st.launchPermission;
    }
    if (!permitted)
        return;
    const int level = std::clamp(m_form.level, 1, kMaxLevel + 1);
    const QString recording =
        solutionRecording(st.programFolder, st.levels.folder(level), m_shownNumber);
    std::weak_ptr<const bool> alive = st.alive;
    AppState* state = &st;
    const QString player = playerPath(st);
    startPlayer(st, recording, [alive, state, player](const QString& reason) {
        if (alive.expired())
            return;
        state->message(MsgKind::Warning, player + QStringLiteral(": ") + reason);
    });
}

void TOknoUlohy::Vyhodnot() {
    if (!m_test || m_evaluated)
        return;
    m_evaluated = true;
    ui->Memo1->hide();
    ui->Button1->hide();
    ui->Button2->hide();
    ui->Button3->hide();

    const int score = m_test->score();
    int maximum = 0;
    for (const Exercise& ex : m_test->exercises())
        if (ex.hasPoints)
            maximum += ex.points;
    m_form.recordTestResult(score, maximum);
    // The level window shows the evaluation on its own controls.
    m_form.showEvaluation(*m_test, score);

    // Back as it was before the test, maximized if it was.
    if (m_form.isMinimized())
        m_form.setWindowState(m_form.windowState() & ~Qt::WindowMinimized);
    done(QDialog::Accepted);
}

void TOknoUlohy::reject() {
    if (m_evaluated)
        QDialog::reject();
}

void TOknoUlohy::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    const int dx = std::max(0, width() - 453);
    const int dy = std::max(0, height() - 354);
    const auto place = [](QWidget* w) { return w->property("designedPlace").toRect(); };
    ui->Label2->setGeometry(place(ui->Label2).adjusted(0, 0, dx, 0));
    ui->Memo1->setGeometry(place(ui->Memo1).adjusted(0, 0, dx, dy));
    for (QWidget* w : {static_cast<QWidget*>(ui->Label1), static_cast<QWidget*>(ui->Button1),
                       static_cast<QWidget*>(ui->Button2)})
        w->move(place(w).topLeft() + QPoint(0, dy));
    ui->Button3->move(place(ui->Button3).topLeft() + QPoint(dx, dy));
}

void TOknoUlohy::closeEvent(QCloseEvent* e) {
    if (m_evaluated)
        QDialog::closeEvent(e);
    else
        e->ignore();
}

} // namespace orbino
