#pragma once
// A test-yourself screen's exercises: splitting the lesson's rich text into
// numbered exercises, the learner's answers, the score and the evaluation
// texts. No windows here; the exercise window shows what this decides.
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class QTextDocument;

namespace orbino {

// One line of a rich text as the lesson panel numbers it (see plainLines):
// a paragraph, or a piece of one between line breaks. [start, end) are
// document positions of its text, the line break not included.
struct TextLine {
    QString text;
    int start = 0;
    int end = 0;
};
QList<TextLine> documentLines(const QTextDocument& doc);

// An exercise starts at a line whose first two characters are a digit and a
// "." ("1." to "9."); "10." is not a start, so its lines join the exercise
// before it.
bool isExerciseStart(const QString& line);

struct Exercise {
    int number = 0;         // 1, 2, ... in the order shown
    QList<int> lines;       // line numbers (from 1) shown, empty lines left out
    int endLine = 0;        // the last line taken; the points stand beside it
    int pointsLine = 0;     // the line holding the tab, 0 when there is none
    bool hasPoints = false; // a character other than a blank follows the tab
    int points = 0;         // its value; a character that is not a digit is worth 0
};

// Cuts the text into exercises, in order. Each runs over the non-empty lines
// from the one after the previous exercise up to the first line holding a
// tab, the last non-empty line before the next numbered line, or the last
// non-empty line of the text. Text before the first numbered line, or after a
// points line and before the next numbered one, is posed as an exercise of
// its own. Empty lines never make one; a text without any non-empty line has
// no exercises.
QList<Exercise> splitExercises(const QStringList& lines);

// How the points line is shown: the exercise text before the tab, and the
// points with their unit after it. `split` is false (show the line whole)
// unless the line has a tab followed by a word beginning with "bod".
struct PointsLineParts {
    bool split = false;
    int tab = -1; // index of the first tab
};
PointsLineParts pointsLineParts(const QString& line);

// Puts exercise `ex` of `src` into `dst` (cleared first), every character
// with its own font, size, style and colour. A points line becomes its text,
// an empty line, and four blanks followed by the points and unit.
void renderExercise(const QTextDocument& src, const QList<TextLine>& lines, const Exercise& ex,
                    QTextDocument& dst);

// One run of a test: the learner answers the exercises in order.
class ExerciseTest {
public:
    explicit ExerciseTest(QList<Exercise> exercises);

    const QList<Exercise>& exercises() const { return m_exercises; }
    // The exercise being shown; null when every exercise has been answered.
    const Exercise* current() const;
    bool finished() const { return m_index >= m_exercises.size(); }

    // "Áno" (true) or "Nie" for the current exercise; moves on to the next.
    // "Áno" adds the points and stores them as the exercise's points text;
    // "Nie" stores "0" when the exercise has points. An exercise without
    // points keeps an empty points text either way.
    void answer(bool solved);

    int score() const { return m_score; }
    // By exercise, index number - 1; valid for the exercises answered.
    const QStringList& pointsTexts() const { return m_pointsTexts; }
    const QList<bool>& solved() const { return m_solved; }

private:
    QList<Exercise> m_exercises;
    qsizetype m_index = 0;
    int m_score = 0;
    QStringList m_pointsTexts;
    QList<bool> m_solved;
};

// The evaluation. Scores above 5 get the texts of 5.
QString verdictFor(int score);
QString unitFor(int score); // with its leading blank: " bodov", " bod", " body"
QString scoreLineFor(int score);

// The two pictures of the evaluation, names in the program folder:
// "hodnotD.BMP"/"hodnotD2.BMP" from a score of 4, else the "Z" pair.
struct EvaluationPictures {
    QString picture; // Image2
    QString icon;    // Image3
};
EvaluationPictures evaluationPictures(int score);

// The points column beside the text: each exercise's points text at its
// end line. Exercises with an empty points text are left out.
struct PointsMark {
    int line = 0;
    QString text;
};
QList<PointsMark> pointsColumn(const QList<Exercise>& exercises, const QStringList& pointsTexts);

// The recording with the solution of exercise `number` in the screen's
// folder (a leading "_" of the folder name stands for "0").
QString solutionRecording(const QString& programFolder, const QString& levelFolder, int number);

} // namespace orbino
