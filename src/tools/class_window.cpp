#include "tools/class_window.h"

#include "app/app_state.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "tools/progress.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <QValueAxis>

namespace orbino {

namespace {

// Sorts by number; an empty cell (test not taken) sorts before every score.
QTableWidgetItem* scoreItem(const std::optional<int>& v) {
    auto* item = new QTableWidgetItem;
    if (v)
        item->setData(Qt::DisplayRole, *v);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// "4. deň: Vyskúšaj sa": the day and the item that leads to the test.
QString shortName(const ClassTest& t) {
    const QStringList parts = t.caption.split(QStringLiteral(" › "));
    return parts.size() < 2 ? t.caption : parts.first() + QStringLiteral(": ") + parts.last();
}

} // namespace

TOknoTrieda::TOknoTrieda(AppState& state, const QString& classFolder, QWidget* parent)
    : QDialog(parent), st(state), m_folder(classFolder) {
    setObjectName(QStringLiteral("TOknoTrieda"));
    setWindowTitle(QStringLiteral("Prehľad triedy"));
    resize(900, 640);

    heading =
        new QLabel(QStringLiteral("Trieda: %1").arg(QDir::toNativeSeparators(classFolder)), this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setWordWrap(true);
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("ProgressBar1"));
    progress->setAccessibleName(QStringLiteral("Načítanie súborov postupu"));
    table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("StringGrid1"));
    table->setAccessibleName(QStringLiteral("Výsledky testov žiakov"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    chart = new QChartView(this);
    chart->setObjectName(QStringLiteral("Chart1"));
    chart->setAccessibleName(QStringLiteral("Graf priemerného výsledku testov"));
    chart->setRenderHint(QPainter::Antialiasing);
    chart->setMinimumHeight(180);
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("Label2"));
    note->setWordWrap(true);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    exportButton = new QPushButton(QStringLiteral("Export CSV"), this);
    exportButton->setObjectName(QStringLiteral("Button1"));
    exportButton->setAccessibleName(QStringLiteral("Export CSV"));
    exportButton->setEnabled(false);
    closeButton = new QPushButton(QStringLiteral("Zavrieť"), this);
    closeButton->setObjectName(QStringLiteral("Button2"));
    closeButton->setAccessibleName(QStringLiteral("Zavrieť"));

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table);
    split->addWidget(chart);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exportButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(progress);
    layout->addWidget(split, 1);
    layout->addWidget(note);
    layout->addLayout(buttons);

    connect(exportButton, &QPushButton::clicked, this, [this] {
        try {
            ExportCsvClick();
        } catch (const FileError& e) {
            st.message(MsgKind::Error, e.message());
        }
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

TOknoTrieda::~TOknoTrieda() {
    stopWorker();
}

void TOknoTrieda::stopWorker() {
    if (!m_worker)
        return;
    m_cancel->store(true);
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
}

void TOknoTrieda::start() {
    stopWorker();
    m_cancel->store(false);
    m_filled = false;
    progress->setRange(0, 0);
    progress->show();
    const QString folder = m_folder;
    const QString course = courseIdentity(st.programFolder);
    const QString programFolder = st.programFolder;
    const QString root = st.rootListName;
    auto cancel = m_cancel;
    // The window waits for the worker before it goes, so it outlives it; what
    // the worker posts to a window already gone is dropped with it.
    TOknoTrieda* self = this;
    m_worker = QThread::create([self, folder, course, programFolder, root, cancel] {
        ClassReport r;
        QString failure;
        try {
            r = buildClassReport(folder, course, courseOutline(programFolder, root),
                                 [&](int done, int total) {
                                     if (cancel->load())
                                         return false;
                                     QMetaObject::invokeMethod(
                                         self,
                                         [self, done, total] {
                                             self->progress->setRange(0, total);
                                             self->progress->setValue(done);
                                         },
                                         Qt::QueuedConnection);
                                     return true;
                                 });
        } catch (const FileError& e) {
            failure = e.message();
        }
        if (cancel->load())
            return;
        QMetaObject::invokeMethod(
            self,
            [self, r, failure] {
                if (!failure.isEmpty())
                    self->st.message(MsgKind::Error, failure);
                self->fill(r);
            },
            Qt::QueuedConnection);
    });
    m_worker->start();
}

void TOknoTrieda::waitUntilFilled() {
    while (!m_filled) {
        if (m_worker)
            m_worker->wait(50);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

namespace {

// One row per learner: the last and the best score of every test.
void fillTable(QTableWidget* table, const ClassReport& r) {
    table->setSortingEnabled(false);
    table->clear();
    table->setRowCount(int(r.learners.size()));
    const int noteColumn = 1 + 2 * int(r.tests.size());
    table->setColumnCount(noteColumn + 1);
    QStringList head{QStringLiteral("Žiak")};
    for (const ClassTest& t : r.tests) {
        head << QStringLiteral("%1\nposledný (z %2)").arg(shortName(t)).arg(t.maximum)
             << QStringLiteral("%1\nnajlepší").arg(shortName(t));
    }
    head << QStringLiteral("Poznámka");
    table->setHorizontalHeaderLabels(head);
    for (int c = 0; c < r.tests.size(); ++c)
        for (int k = 0; k < 2; ++k)
            if (QTableWidgetItem* h = table->horizontalHeaderItem(1 + 2 * c + k))
                h->setToolTip(r.tests.at(c).caption);
    for (int row = 0; row < r.learners.size(); ++row) {
        const LearnerScores& l = r.learners.at(row);
        auto* name = new QTableWidgetItem(l.name);
        name->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        table->setItem(row, 0, name);
        for (int c = 0; c < r.tests.size(); ++c) {
            table->setItem(row, 1 + 2 * c, scoreItem(l.last.value(c)));
            table->setItem(row, 2 + 2 * c, scoreItem(l.best.value(c)));
        }
        auto* note = new QTableWidgetItem(l.note);
        note->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        table->setItem(row, noteColumn, note);
    }
    table->setSortingEnabled(true);
    table->sortItems(0);
    table->resizeColumnsToContents();
}

// Average of the last scores, one bar per test.
QChart* averageChart(const ClassReport& r) {
    // Average of the last scores, one bar per test.
    auto* set = new QBarSet(QStringLiteral("Priemer posledných výsledkov"));
    QStringList categories;
    int top = 1;
    for (int c = 0; c < r.tests.size(); ++c) {
        *set << r.average(c).value_or(0.0);
        categories << shortName(r.tests.at(c));
        top = std::max(top, r.tests.at(c).maximum);
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(3);
    auto* ch = new QChart;
    // "3,5", as the class reads numbers.
    ch->setLocale(QLocale(QLocale::Slovak, QLocale::Slovakia));
    ch->setLocalizeNumbers(true);
    ch->addSeries(series);
    ch->setTitle(QStringLiteral("Priemerný výsledok testov"));
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    ch->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    // Up to the test's maximum, not a rounder number past it; one line per
    // point while the points are few, else a whole step of at most ten lines.
    y->setRange(0, top);
    int step = 1;
    while (top / step > 10)
        step = step == 1 ? 2 : step == 2 ? 5 : step * 2;
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(step);
    y->setLabelFormat(QStringLiteral("%.0f"));
    ch->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    ch->legend()->setVisible(false);
    return ch;
}

// What the overview counted and what it had to leave out.
QString reportNote(const ClassReport& r) {
    QStringList lines;
    lines << QStringLiteral("Žiaci: %1 (s postupom kurzu: %2), testy: %3.")
                 .arg(r.learners.size())
                 .arg(r.started())
                 .arg(r.tests.size());
    if (!r.otherCourse.isEmpty())
        lines << QStringLiteral("Vynechané súbory postupu iného kurzu: %1.")
                     .arg(r.otherCourse.join(QStringLiteral("; ")));
    if (!r.withoutProgress.isEmpty())
        lines << QStringLiteral("Bez súboru postupu: %1.")
                     .arg(r.withoutProgress.join(QStringLiteral(", ")));
    if (!r.unreadable.isEmpty())
        lines << QStringLiteral("Nedajú sa prečítať: %1.")
                     .arg(r.unreadable.join(QStringLiteral("; ")));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void TOknoTrieda::fill(const ClassReport& r) {
    m_report = r;
    progress->hide();
    fillTable(table, r);
    QChart* old = chart->chart();
    chart->setChart(averageChart(r));
    delete old;
    note->setText(reportNote(r));
    note->setAccessibleName(note->text());
    exportButton->setEnabled(true);
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
        m_worker = nullptr;
    }
    m_filled = true;
}

void TOknoTrieda::ExportCsvClick() {
    if (!m_filled || !st.prompter)
        return;
    QString target = st.prompter->saveFileName(
        QStringLiteral("Export CSV"), QDir::homePath() + QStringLiteral("/prehlad_triedy.csv"),
        QStringLiteral("Tabuľka CSV (*.csv)"));
    if (target.isEmpty())
        return;
    if (!target.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        target += QStringLiteral(".csv");
    writeFileAtomic(target, classReportCsv(m_report));
    st.message(MsgKind::Information, QStringLiteral("Tabuľka je uložená v súbore %1.").arg(target));
}

} // namespace orbino
