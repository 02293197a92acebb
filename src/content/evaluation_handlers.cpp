// The evaluation of a test-yourself screen, shown on the level window once
// the exercise window has counted the points: heading, score and verdict,
// the points beside each exercise, markers at the solutions not reached.
#include "app/app_state.h"
#include "app/main_window.h"
#include "content/exercises.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "ui_tform1.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>

namespace orbino {

namespace {

void setPicture(QLabel* label, const QImage& img, bool transparent) {
    if (img.isNull())
        return;
    const qreal ratio = label->devicePixelRatioF();
    const QPixmap pm =
        transparent ? seeThroughPixmap(img, ratio) : QPixmap::fromImage(forScreen(img, ratio));
    label->setPixmap(pm);
    label->resize(pm.deviceIndependentSize().toSize());
}

// Document y of the baseline and the height of the last screen line of
// text line `line`.
struct LinePlace {
    qreal baseline = 0;
    qreal height = 0;
};
LinePlace placeOf(const QTextDocument& doc, const TextLine& line) {
    const QTextBlock block = doc.findBlock(line.start);
    if (!block.isValid())
        return {};
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    const int inBlock = std::max(line.start, line.end - 1) - block.position();
    const QTextLine tl = layout ? layout->lineForTextPosition(inBlock) : QTextLine();
    if (!tl.isValid())
        return {r.y(), 0};
    return {r.y() + tl.y() + tl.ascent(), tl.height()};
}

// The column's document emptied, in the face its points are shown in.
void clearPointsColumn(QTextEdit* memo3) {
    QTextDocument* doc3 = memo3->document();
    doc3->clear();
    QTextFrameFormat plain = doc3->rootFrame()->frameFormat();
    plain.setTopMargin(doc3->documentMargin());
    doc3->rootFrame()->setFrameFormat(plain);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(13);
    memo3->setFont(f);
    doc3->setDefaultFont(f);
}

// Writes one points text as a new block of the column and moves it down so
// that its baseline is at `want` (column document y).
void placeMark(QTextCursor& c, bool first, const QString& text, const LinePlace& place,
               qreal want) {
    QTextDocument* doc3 = c.document();
    QTextBlockFormat bf;
    bf.setAlignment(Qt::AlignHCenter);
    if (!first)
        c.insertBlock(bf);
    else
        c.setBlockFormat(bf);
    // Each points line takes no more room than the line beside it, so the
    // column never drifts below the text on closely spaced lines.
    if (place.height > 0) {
        bf.setLineHeight(place.height, QTextBlockFormat::FixedHeight);
        c.setBlockFormat(bf);
    }
    c.insertText(text);
    const QTextBlock b = c.block();
    const QRectF r = doc3->documentLayout()->blockBoundingRect(b);
    const QTextLine tl = b.layout()->lineAt(0);
    const qreal have = r.y() + (tl.isValid() ? tl.y() + tl.ascent() : 0);
    if (want > have && b == doc3->firstBlock()) {
        // The first block's own top margin is not laid out reliably; the
        // frame's margin is.
        QTextFrameFormat ff = doc3->rootFrame()->frameFormat();
        ff.setTopMargin(ff.topMargin() + want - have);
        doc3->rootFrame()->setFrameFormat(ff);
    } else if (want > have) {
        bf.setTopMargin(want - have);
        c.setBlockFormat(bf);
    }
}

// Fills the points column so that each points text stands on the baseline of
// its exercise's last line as the text panel shows it now, also where that
// panel wraps long lines. Points of lines scrolled out of the panel are left
// out; the column is filled again whenever the panel scrolls, so the points
// move with their lines whatever the line layout.
void placePoints(QTextEdit* memo1, QTextEdit* memo3, const QList<PointsMark>& marks) {
    clearPointsColumn(memo3);
    const QTextDocument& doc1 = *memo1->document();
    const QList<TextLine> lines = documentLines(doc1);
    // Panel document y -> column document y, through the screen.
    const QPoint origin1 = memo1->viewport()->mapToGlobal(QPoint(0, 0));
    const QPoint origin3 = memo3->viewport()->mapToGlobal(QPoint(0, 0));
    const int visibleTop = memo1->verticalScrollBar()->value();
    const int visibleBottom = visibleTop + memo1->viewport()->height();
    const qreal shift = origin1.y() - visibleTop - origin3.y();

    QTextCursor c(memo3->document());
    bool first = true;
    for (const PointsMark& m : marks) {
        if (m.line < 1 || m.line > lines.size())
            continue;
        const LinePlace place = placeOf(doc1, lines.at(m.line - 1));
        if (place.baseline - place.height < visibleTop - 1 || place.baseline > visibleBottom)
            continue;
        placeMark(c, first, m.text, place, place.baseline + shift);
        first = false;
    }
    memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo3->verticalScrollBar()->setValue(0);
}

void fillPointsColumn(QTextEdit* memo1, QTextEdit* memo3, const QList<PointsMark>& marks) {
    placePoints(memo1, memo3, marks);
    // One refill per scroll of the panel; a test taken again replaces it.
    static const char* kRefill = "orbinoPointsRefill";
    QObject::disconnect(memo3->property(kRefill).value<QMetaObject::Connection>());
    const QMetaObject::Connection refill =
        QObject::connect(memo1->verticalScrollBar(), &QScrollBar::valueChanged, memo3,
                         [memo1, memo3, marks] { placePoints(memo1, memo3, marks); });
    memo3->setProperty(kRefill, QVariant::fromValue(refill));
}

} // namespace

// Heading, score line and verdict, with the picture and icon the score earns.
void TForm1::showScore(const QString& programFolder, int score) {
    QFont f13 = ui->Label13->font();
    f13.setPointSize(12);
    f13.setBold(true);
    ui->Label13->setFont(f13);
    ui->Label13->setText(QStringLiteral("Vyhodnotenie"));
    ui->Label13->adjustSize();
    ui->Label13->move(40, ui->Label13->y());

    for (QLabel* l : {ui->Label14, ui->Label15}) {
        QFont lf = l->font();
        lf.setPointSize(10);
        l->setFont(lf);
    }
    ui->Label15->setText(verdictFor(score));
    ui->Label14->setText(scoreLineFor(score));
    ui->Label14->adjustSize();
    ui->Label15->adjustSize();
    ui->Label14->move(ui->Label13->x(), ui->Label13->y() + 50);
    ui->Label15->move(ui->Label13->x(), ui->Label15->y());

    const EvaluationPictures pics = evaluationPictures(score);
    setPicture(ui->Image2, loadPicture(programFolder + pics.picture), true);
    setPicture(ui->Image3, loadPicture(programFolder + pics.icon), false);

    ui->Label13->show();
    ui->Label14->show();
    ui->Label15->show();
}

// The points of each exercise in a column over the text panel's right edge.
void TForm1::showPointsColumn(int u, const ExerciseTest& test) {
    // Room on the text panel for the points header.
    QTextEdit* memo1 = ui->Memo1;
    memo1->setGeometry(memo1->x(), memo1->y() + 20, memo1->width(),
                       memo1->height() - (u == 12 ? 18 : 20));

    QTextEdit* memo3 = ui->Memo3;
    const int right1 = memo1->x() + memo1->width();
    memo3->setGeometry(right1 - (u == 12 ? 11 : 25), memo1->y() + 5, 35, memo1->height() - 5);
    // The column stands over the panel's right edge: keep the text clear of it.
    QTextFrameFormat ff = memo1->document()->rootFrame()->frameFormat();
    ff.setRightMargin(ff.rightMargin() + (u == 12 ? 8 : 20));
    memo1->document()->rootFrame()->setFrameFormat(ff);
    // Disabled, yet as readable as the text beside it.
    QPalette pal = memo3->palette();
    pal.setColor(QPalette::Disabled, QPalette::Text, pal.color(QPalette::Active, QPalette::Text));
    memo3->setPalette(pal);
    memo3->show();
    memo3->ensurePolished();
    fillPointsColumn(memo1, memo3, pointsColumn(test.exercises(), test.pointsTexts()));
}

// The box above the column that says what its numbers are.
void TForm1::showPointsBox(int u) {
    QTextEdit* memo2 = ui->Memo2;
    memo2->setGeometry(memo2->x(), memo2->y() + 80, u == 12 ? 520 : 530, 90);

    QPlainTextEdit* memo4 = ui->Memo4;
    // The points box is bold Arial. Its face is set where the box is shown,
    // not in the window's design: there the hidden box was laid out in a
    // bold face at every start, a face the main screen never shows.
    QFont mf = memo4->font();
    mf.setPointSize(10);
    mf.setBold(true);
    memo4->setFont(mf);
    memo4->clear();
    // Two whole lines, never wrapped or scrolled.
    memo4->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo4->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int twoLines =
        2 * QFontMetrics(mf).lineSpacing() + 2 * int(memo4->document()->documentMargin()) + 4;
    memo4->resize(memo4->width(), std::max(memo4->height(), twoLines));
    const int right2 = memo2->x() + memo2->width();
    if (u == 12) {
        memo4->setGeometry(right2 - 45, ui->Memo1->y() - 28, 170, memo4->height());
        memo4->setPlainText(
            QStringLiteral("                    Body:\nMohol si získať     Získal si"));
    } else {
        memo4->setGeometry(right2 - 170, ui->Memo1->y() - 28, 170, memo4->height());
        memo4->setPlainText(QStringLiteral(
            "                            Získal si\n                               body:"));
    }
    memo4->show();
    ui->Image2->move(memo4->x() + 70, ui->Image2->y());
}

void TForm1::showEvaluation(const ExerciseTest& test, int score) {
    showScore(st.programFolder, score);
    showPointsColumn(st.scale, test);
    // Markers beside the solutions of the exercises not solved; an exercise
    // without a solution button simply has none.
    const QList<bool>& solved = test.solved();
    for (qsizetype k = 0; k < solved.size(); ++k)
        if (!solved.at(k) && k < solutionMarkers.size() && solutionMarkers.at(k))
            solutionMarkers.at(k)->show();
    if (!ui->Image2->pixmap().isNull())
        ui->Image2->show();
    if (!ui->Image3->pixmap().isNull())
        ui->Image3->show();
    showPointsBox(st.scale);
}

} // namespace orbino
