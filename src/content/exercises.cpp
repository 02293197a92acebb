#include "content/exercises.h"

#include "app/app_state.h"
#include "content/launcher.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <algorithm>

namespace orbino {

QList<TextLine> documentLines(const QTextDocument& doc) {
    QList<TextLine> out;
    if (doc.isEmpty())
        return out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const int base = block.position();
        int from = 0;
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] == QChar::LineSeparator || text[i] == u'\v') {
                out.append({text.mid(from, i - from), base + from, base + i});
                from = i + 1;
            }
        }
        out.append({text.mid(from), base + from, base + int(text.size())});
    }
    return out;
}

bool isExerciseStart(const QString& line) {
    return line.size() >= 2 && JeCisloBodka(line.left(2));
}

namespace {

// A line of blanks looks empty on the screen, so it counts as empty.
bool blank(const QString& line) {
    return line.trimmed().isEmpty();
}

// Line numbers from 1; 0 when there is no further non-empty line.
int nextNonEmpty(const QStringList& lines, int after) {
    for (int n = after + 1; n <= lines.size(); ++n)
        if (!blank(lines.at(n - 1)))
            return n;
    return 0;
}

} // namespace

QList<Exercise> splitExercises(const QStringList& lines) {
    QList<Exercise> out;
    int cursor = 0;
    while (const int first = nextNonEmpty(lines, cursor)) {
        Exercise ex;
        ex.number = int(out.size()) + 1;
        int n = first;
        for (;;) {
            const QString& text = lines.at(n - 1);
            ex.lines.append(n);
            cursor = n;
            const qsizetype tab = text.indexOf(QLatin1Char('\t'));
            if (tab >= 0) {
                ex.pointsLine = n;
                const QChar c = tab + 1 < text.size() ? text.at(tab + 1) : QChar();
                ex.hasPoints = !c.isNull() && !c.isSpace();
                ex.points = c.isDigit() ? c.digitValue() : 0;
                if (ex.points < 0)
                    ex.points = 0;
                break;
            }
            // The next exercise is looked for past empty lines, so a blank
            // line between two exercises never merges them.
            const int next = nextNonEmpty(lines, n);
            if (!next || isExerciseStart(lines.at(next - 1)))
                break;
            n = next;
        }
        ex.endLine = cursor;
        out.append(ex);
    }
    return out;
}

PointsLineParts pointsLineParts(const QString& line) {
    PointsLineParts p;
    p.tab = int(line.indexOf(QLatin1Char('\t')));
    // Only the unit after the tab makes a points line: "bod" elsewhere in an
    // exercise ("bodka", "bodov") is ordinary text.
    p.split = p.tab >= 0 && line.indexOf(QLatin1String("bod"), p.tab + 1) > p.tab;
    return p;
}

namespace {

void copyRange(const QTextDocument& src, int from, int to, QTextCursor& dst) {
    if (to <= from)
        return;
    QTextCursor c(const_cast<QTextDocument*>(&src));
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    dst.insertFragment(c.selection());
}

QTextCharFormat formatAt(const QTextDocument& src, int pos) {
    QTextCursor c(const_cast<QTextDocument*>(&src));
    c.setPosition(pos + 1); // the format of the character before the cursor
    return c.charFormat();
}

} // namespace

void renderExercise(const QTextDocument& src, const QList<TextLine>& lines, const Exercise& ex,
                    QTextDocument& dst) {
    dst.clear();
    QTextCursor out(&dst);
    bool firstLine = true;
    for (const int n : ex.lines) {
        if (n < 1 || n > lines.size())
            continue;
        const TextLine& line = lines.at(n - 1);
        const QTextBlock block = src.findBlock(line.start);
        if (firstLine)
            out.setBlockFormat(block.blockFormat());
        else
            out.insertBlock(block.blockFormat());
        firstLine = false;
        const PointsLineParts parts = pointsLineParts(line.text);
        if (!parts.split) {
            copyRange(src, line.start, line.end, out);
            continue;
        }
        const int tabPos = line.start + parts.tab;
        copyRange(src, line.start, tabPos, out);
        out.insertBlock(block.blockFormat());
        out.insertBlock(block.blockFormat());
        if (tabPos + 1 < line.end) {
            out.insertText(QStringLiteral("    "), formatAt(src, tabPos + 1));
            copyRange(src, tabPos + 1, line.end, out);
        }
    }
}

ExerciseTest::ExerciseTest(QList<Exercise> exercises) : m_exercises(std::move(exercises)) {
    m_pointsTexts.resize(m_exercises.size());
    m_solved.resize(m_exercises.size());
}

const Exercise* ExerciseTest::current() const {
    return finished() ? nullptr : &m_exercises.at(m_index);
}

void ExerciseTest::answer(bool solved) {
    if (finished())
        return;
    const Exercise& ex = m_exercises.at(m_index);
    m_solved[m_index] = solved;
    if (ex.hasPoints) {
        if (solved) {
            m_score += ex.points;
            m_pointsTexts[m_index] = QString::number(ex.points);
        } else {
            m_pointsTexts[m_index] = QStringLiteral("0");
        }
    }
    ++m_index;
}

QString verdictFor(int score) {
    switch (std::clamp(score, 0, 5)) {
    case 0:
        return QStringLiteral(
            "Pre slabých tu nie je miesto. Letíš do vesmíru aj so zvyškami rakety!");
    case 1:
        return QStringLiteral("To nemyslíš vážne. Také zlé to predsa nemohlo byť!?");
    case 2:
        return QStringLiteral("Ak sa nepolepšíš, obetujeme ťa ako večeru pre mimozemšťanov");
    case 3:
        return QStringLiteral("Pracuj na sebe, inak budeš iba čistiť raketu");
    case 4:
        return QStringLiteral("Bude z\u00A0teba úspešný prvý poradca kapitána");
    default:
        return QStringLiteral("Si zrelý stať sa kapitánom vesmírneho tímu");
    }
}

QString unitFor(int score) {
    switch (std::clamp(score, 0, 5)) {
    case 1:
        return QStringLiteral(" bod");
    case 2:
    case 3:
    case 4:
        return QStringLiteral(" body");
    default:
        return QStringLiteral(" bodov");
    }
}

QString scoreLineFor(int score) {
    return QStringLiteral("Pri riešení úloh si získal: ") + QString::number(score) + unitFor(score);
}

EvaluationPictures evaluationPictures(int score) {
    if (score >= 4)
        return {QStringLiteral("hodnotD.BMP"), QStringLiteral("hodnotD2.BMP")};
    return {QStringLiteral("hodnotZ.BMP"), QStringLiteral("hodnotZ2.BMP")};
}

QList<PointsMark> pointsColumn(const QList<Exercise>& exercises, const QStringList& pointsTexts) {
    QList<PointsMark> out;
    for (qsizetype k = 0; k < exercises.size() && k < pointsTexts.size(); ++k)
        if (!pointsTexts.at(k).isEmpty())
            out.append({exercises.at(k).endLine, pointsTexts.at(k)});
    return out;
}

QString solutionRecording(const QString& programFolder, const QString& levelFolder, int number) {
    return programFolder + itemFolder(levelFolder, true) + QStringLiteral("/Ries") +
           QString::number(number) + QStringLiteral(".scm");
}

} // namespace orbino
