// The learner's progress on the screens: recording visits and test scores,
// the day buttons' read counts, the last score on a test screen, and the
// export of the learner's work.
#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "screens/screen_rules.h"
#include "tools/progress.h"
#include "tools/work_export.h"
#include "tools/work_export_window.h"
#include "ui_tform1.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>

namespace orbino {

namespace {

void writeProgress(AppState& st, const std::function<void(ProgressFile&)>& change) {
    try {
        updateProgress(st.tempFolder, courseIdentity(st.programFolder), change);
    } catch (const FileError& e) {
        // The lesson goes on; saying it once is enough, and nothing more
        // when the learner was already told the folder cannot be written.
        if (!st.progressWriteReported && !st.tempFolderReported) {
            st.progressWriteReported = true;
            st.message(MsgKind::Warning,
                       QStringLiteral("Postup sa nedá zapísať (ďalšie chyby zápisu postupu sa už "
                                      "nebudú hlásiť): %1")
                           .arg(e.message()));
        }
    }
}

struct Screen {
    QString day;
    QString list;
    bool ok = false;
};

Screen screenOf(const AppState& st, int level) {
    const int L = std::clamp(level, 1, kMaxLevel);
    if (L < 2 && !st.searchMode())
        return {};
    Screen s{st.levels.folder(L).trimmed(), st.levels.listFile(L).trimmed(), false};
    s.ok = progressNameUsable(s.day) && progressNameUsable(s.list);
    return s;
}

// A small bold label the screen adds to its form.
QLabel* makeFigureLabel(QWidget* central, const QString& name) {
    auto* label = new QLabel(central);
    label->setObjectName(name);
    label->setProperty("runtime", true);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(9);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// The label beside a day button that tells how many of its lessons were read.
QLabel* makeDayProgressLabel(QWidget* central, const QString& name) {
    QLabel* label = makeFigureLabel(central, name);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0x1a, 0x6b, 0x1a));
    label->setPalette(pal);
    return label;
}

// "read/total", or a tick when all are read, left of the day button `b`.
void showReadCount(QLabel* label, QAbstractButton* b, int read, int total, int scale) {
    const bool all = read >= total;
    QFont f = label->font();
    f.setPointSize(all ? 13 : 9); // the tick is a thin glyph
    label->setFont(f);
    const QString day = b->text().trimmed();
    label->setText(all ? QStringLiteral("✓") : QStringLiteral("%1/%2").arg(read).arg(total));
    label->setAccessibleName(
        all ? QStringLiteral("%1: všetky lekcie prečítané").arg(day)
            : QStringLiteral("%1: prečítané lekcie %2 z %3").arg(day).arg(read).arg(total));
    label->setToolTip(label->accessibleName());
    // The mark beside the button is not where the focus goes: the button says it.
    b->setAccessibleDescription(
        all ? QStringLiteral("všetky lekcie prečítané")
            : QStringLiteral("prečítané lekcie %1 z %2").arg(read).arg(total));
    const int w = 4 * scale;
    label->setGeometry(b->x() - w - 4, b->y(), w, b->height());
    label->show();
    label->raise();
}

QLabel* lastScoreLabel(QWidget* central, bool create) {
    auto* label =
        central->findChild<QLabel*>(QStringLiteral("LastScore"), Qt::FindDirectChildrenOnly);
    if (!label && create)
        label = makeFigureLabel(central, QStringLiteral("LastScore"));
    return label;
}

} // namespace

void TForm1::recordVisit() {
    const Screen s = screenOf(st, level);
    if (!s.ok)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    writeProgress(st, [&](ProgressFile& p) { p.recordVisit(s.day, s.list, now); });
}

void TForm1::recordTestResult(int score, int maximum) {
    if (QLabel* l = lastScoreLabel(ui->centralwidget, false))
        l->hide(); // the evaluation shows this attempt
    const Screen s = screenOf(st, level);
    if (!s.ok)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    writeProgress(st, [&](ProgressFile& p) { p.recordTest(s.day, s.list, score, maximum, now); });
}

void TForm1::showLastScore() {
    const Screen s = screenOf(st, level);
    if (!s.ok)
        return;
    const auto last =
        readProgress(st.tempFolder, courseIdentity(st.programFolder)).lastTest(s.day, s.list);
    QLabel* label = lastScoreLabel(ui->centralwidget, bool(last));
    if (!last) {
        if (label)
            label->hide();
        return;
    }
    const QString text = lastScoreText(*last);
    label->setText(text);
    label->setAccessibleName(text);
    // Under the "Zadanie úloh" button, ending where it ends.
    const QRect z = ui->Zadanie->geometry();
    const int w = std::max(z.width(), label->sizeHint().width() + 4);
    label->setGeometry(z.right() + 1 - w, z.bottom() + 4, w, label->sizeHint().height() + 2);
    label->show();
    label->raise();
}

void TForm1::showDayProgress() {
    if (!isMainWindow() || st.searchMode() || st.tempFolder.isEmpty())
        return;
    const QString course = courseIdentity(st.programFolder);
    const QString path = progressPathFor(st.tempFolder, course);
    // Only a changed file (or day list) makes the labels again.
    const QFileInfo fi(resolvePath(path));
    QString stamp = path + QLatin1Char('|') + st.rootListName + QLatin1Char('|') +
                    QString::number(dayButtons.size());
    if (fi.exists())
        stamp += QStringLiteral("|%1|%2").arg(fi.size()).arg(fi.lastModified().toMSecsSinceEpoch());
    if (stamp == dayProgressStamp)
        return;
    dayProgressStamp = stamp;
    const ProgressFile progress =
        fi.exists() ? readProgress(st.tempFolder, course) : ProgressFile();
    const QList<Visit> visits = progress.visits();

    for (auto it = dayButtons.cbegin(); it != dayButtons.cend(); ++it) {
        auto* b = qobject_cast<QAbstractButton*>(it.value().data());
        if (!b)
            continue;
        const QString name = QStringLiteral("DayProgress%1").arg(it.key());
        auto* label = ui->centralwidget->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
        const QString folder = AppState::folderNameRule(dayFolderFromCaption(b->text()));
        const bool any = std::any_of(visits.begin(), visits.end(), [&](const Visit& v) {
            return v.day.compare(folder, Qt::CaseInsensitive) == 0;
        });
        const QList<OutlineLesson> lessons =
            any ? dayOutline(st.programFolder, folder, st.rootListName) : QList<OutlineLesson>();
        const int read = readCount(lessons, progress);
        if (read == 0) {
            // Nothing read yet: the day button stands as it always did.
            if (label)
                label->hide();
            b->setAccessibleDescription(QString());
            continue;
        }
        if (!label)
            label = makeDayProgressLabel(ui->centralwidget, name);
        showReadCount(label, b, read, openableCount(lessons), st.scale);
    }
}

void TForm1::Export1Click() {
    TOknoMenoZiaka ask(learnerName(), this);
    modal.exec(&ask);
    if (ask.result() != QDialog::Accepted)
        return;
    const QString learner = ask.name();
    rememberLearnerName(learner);
    const QString start = QDir::homePath() + QStringLiteral("/moja_praca.html");
    QString target = st.prompter
                         ? st.prompter->saveFileName(QStringLiteral("Export mojej práce"), start,
                                                     QStringLiteral("Stránka HTML (*.html *.htm)"))
                         : QString();
    if (target.isEmpty())
        return;
    if (!target.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) &&
        !target.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
        target += QStringLiteral(".html");
    exportWork(st.programFolder, st.tempFolder, st.rootListName, target, learner);
    st.message(MsgKind::Information,
               QStringLiteral("Vaša práca je uložená v súbore %1.").arg(target));
}

} // namespace orbino
