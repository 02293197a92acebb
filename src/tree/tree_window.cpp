#include "tree/tree_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "content/fmx_utils.h"
#include "content/launcher.h"
#include "content/password_window.h"
#include "content/player.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "tools/progress.h"
#include "tree/integrity.h"
#include "tree/text_search.h"
#include "ui_tree_window.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace orbino {

namespace {

// The same passwords as the item's own button asks for; otherwise the tree
// would be a way around them.
bool passGate(TForm1& form, Gate gate) {
    switch (gate) {
    case Gate::None:
        return true;
    case Gate::Teacher:
        return teacherGate(form);
    case Gate::DayPassword:
        return dayPasswordGate(form);
    }
    return false;
}

// Text hits: the caption path on the first line, the snippet below it with
// the matched words in bold. The item's own text (for screen readers and
// keyboard search) is the same without markup.
constexpr int kHtmlRole = Qt::UserRole + 1; // the snippet as HTML
constexpr int kPathRole = Qt::UserRole + 2; // the caption path

class HitDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString html = index.data(kHtmlRole).toString();
        if (html.isEmpty()) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget* w = opt.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        const bool selected = opt.state & QStyle::State_Selected;
        QTextDocument doc;
        setUp(doc, opt, html, index.data(kPathRole).toString(), selected);
        p->save();
        p->translate(opt.rect.topLeft());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette.setColor(QPalette::Text, opt.palette.color(selected ? QPalette::HighlightedText
                                                                        : QPalette::Text));
        ctx.clip = QRectF(0, 0, opt.rect.width(), opt.rect.height());
        p->setClipRect(ctx.clip);
        doc.documentLayout()->draw(p, ctx);
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString html = index.data(kHtmlRole).toString();
        if (html.isEmpty())
            return QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        QTextDocument doc;
        setUp(doc, opt, html, index.data(kPathRole).toString(), false);
        return QSize(opt.rect.width(), int(doc.size().height()) + 2);
    }

private:
    static void setUp(QTextDocument& doc, const QStyleOptionViewItem& opt, const QString& snippet,
                      const QString& path, bool selected) {
        doc.setDefaultFont(opt.font);
        doc.setDocumentMargin(3);
        const int width = opt.widget ? opt.widget->width() - 24 : 400;
        doc.setTextWidth(std::max(width, 100));
        // The path in the link colour, readable on the selection too.
        const QColor pathColor =
            opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Link);
        doc.setHtml(QStringLiteral("<span style=\"color:%1\">%2</span><br>%3")
                        .arg(pathColor.name(), path.toHtmlEscaped(), snippet));
    }
};

// The designed window, its menu bar left out: what layOut() grows from.
constexpr QSize kDesignedCanvas(761, 508);
constexpr char kPlace[] = "designedPlace";

} // namespace

TOknoHladaj::TOknoHladaj(TForm1& form, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::TOknoHladaj), m_form(form), st(form.st) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // The found item stays marked while the search panel has the focus.
    QPalette p = ui->TreeView1->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    ui->TreeView1->setPalette(p);
    // The hidden header is still read by screen readers: it names the column.
    ui->TreeView1->setHeaderLabel(QStringLiteral("Lekcie"));
    if (auto* bar = findChild<QMenuBar*>())
        bar->setAccessibleName(QStringLiteral("Ponuka"));
    ui->Edit1->installEventFilter(this);
    for (QWidget* w : ui->centralwidget->findChildren<QWidget*>())
        w->setProperty(kPlace, w->geometry());
    ui->centralwidget->installEventFilter(this);
    // Hits are laid out again for the list's new width.
    ui->ListBox1->setResizeMode(QListView::Adjust);
    // The designed size is the least; it opens larger where the screen has
    // room, so the tree and the text hits show more than a few rows.
    const QSize least = kDesignedCanvas + QSize(0, menuBar()->sizeHint().height());
    setMinimumSize(least);
    resize(least);
    if (const QScreen* s = screen()) {
        const QRect free = s->availableGeometry();
        resize(std::clamp(free.width() * 4 / 5, least.width(), 1100),
               std::clamp(free.height() * 9 / 10 - 30, least.height(), 760));
    }

    auto on = [this](auto* sender, auto signal, void (TOknoHladaj::*h)()) {
        connect(sender, signal, this, [this, h] { m_form.guard([this, h] { (this->*h)(); }); });
    };
    on(ui->Hadanie1, &QAction::triggered, &TOknoHladaj::Hadanie1Click);
    on(ui->Hadanieintegrity1, &QAction::triggered, &TOknoHladaj::open);
    on(ui->Button1, &QPushButton::clicked, &TOknoHladaj::Button1Click);
    on(ui->Button2, &QPushButton::clicked, &TOknoHladaj::Button2Click);
    on(ui->Button3, &QPushButton::clicked, &TOknoHladaj::Button3Click);
    on(ui->Button4, &QPushButton::clicked, &TOknoHladaj::Button4Click);
    on(ui->Button5, &QPushButton::clicked, &TOknoHladaj::Button5Click);
    on(ui->Edit1, &QLineEdit::returnPressed, &TOknoHladaj::Button2Click);
    on(ui->TreeView1, &QTreeWidget::currentItemChanged, &TOknoHladaj::TreeView1Click);
    on(ui->TreeView1, &QTreeWidget::itemActivated, &TOknoHladaj::TreeView1DblClick);

    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(250);
    ui->ListBox1->setItemDelegate(new HitDelegate(ui->ListBox1));
    ui->Edit2->installEventFilter(this);
    on(m_debounce, &QTimer::timeout, &TOknoHladaj::runTextSearch);
    on(ui->Edit2, &QLineEdit::textChanged, &TOknoHladaj::Edit2Change);
    on(ui->ListBox1, &QListWidget::itemActivated, &TOknoHladaj::ListBox1DblClick);
    connect(ui->Edit2, &QLineEdit::returnPressed, this, [this] {
        m_form.guard([this] {
            // Enter in the field opens the hit shown first (or the one chosen
            // with the arrows), once the text typed so far has been searched.
            if (m_debounce->isActive()) {
                m_debounce->stop();
                runTextSearch();
            }
            ListBox1DblClick();
        });
    });
}

TOknoHladaj::~TOknoHladaj() {
    m_text.reset(); // cancels a build in progress; never waits long for it
    delete ui;
}

void TOknoHladaj::layOut() {
    const QSize room = ui->centralwidget->size();
    const int dx = std::max(0, room.width() - kDesignedCanvas.width());
    const int dy = std::max(0, room.height() - kDesignedCanvas.height());
    // A third of the extra width to the tree, the rest to the text hits.
    const int left = dx / 3;
    const int right = dx - left;
    const auto place = [](QWidget* w, int x, int y, int grow, int growDown) {
        const QRect r = w->property(kPlace).toRect();
        w->setGeometry(r.x() + x, r.y() + y, r.width() + grow, r.height() + growDown);
    };
    place(ui->Label3, 0, 0, dx, 0);
    place(ui->TreeView1, 0, 0, left, dy);
    place(ui->Button1, left / 2, dy, 0, 0);
    place(ui->Memo1, 0, 0, left + right / 2, dy);
    place(ui->Button5, left + right / 2, dy, 0, 0);
    place(ui->Panel1, left + right / 2, 0, 0, 0);
    place(ui->Panel2, left, 0, right, dy);
    place(ui->Edit2, 0, 0, right, 0);
    place(ui->ListBox1, 0, 0, right, dy);
    place(ui->ProgressBar1, 0, dy, right, 0);
    place(ui->Label5, 0, dy, right, 0);
}

bool TOknoHladaj::eventFilter(QObject* o, QEvent* e) {
    if (o == ui->centralwidget && e->type() == QEvent::Resize)
        layOut();
    if (o == ui->Edit1 && e->type() == QEvent::FocusIn)
        m_form.guard([this] { Edit1Enter(); });
    // The arrows move through the hits without leaving the field.
    if (o == ui->Edit2 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown ||
            key == Qt::Key_PageUp) {
            QListWidget* list = ui->ListBox1;
            const int n = int(m_hits.size());
            if (n > 0) {
                int row = std::max(list->currentRow(), 0);
                const int step = (key == Qt::Key_PageDown || key == Qt::Key_PageUp) ? 5 : 1;
                row += (key == Qt::Key_Down || key == Qt::Key_PageDown) ? step : -step;
                list->setCurrentRow(std::clamp(row, 0, n - 1));
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void TOknoHladaj::FormCreate() {
    ui->Button1->setText(st.CitajKonfig(keys::WindowTree));
}

void TOknoHladaj::FormActivate() {
    if (m_built)
        return;
    m_built = true;
    m_place = treePlace(st, st.levels.current());
    const QString find = st.CitajKonfig(keys::WindowSearchFind);
    ui->Label2->setText(find);
    ui->Button2->setText(find);
    ui->Button3->setText(st.CitajKonfig(keys::WindowSearchShow));
    ui->Button4->setText(st.CitajKonfig(keys::WindowSearchNext));
    ui->Hadanie1->setText(st.CitajKonfig(keys::MenuSearch));
    ui->Button5->setText(st.CitajKonfig(keys::CloseControl));
    ui->Hadanieintegrity1->setText(st.CitajKonfig(keys::MenuIntegrity));
    setWindowTitle(st.CitajKonfig(keys::MenuTree));
    ui->Hadanieintegrity1->setVisible(SkusZapis(st));
    ui->Label1->setText(m_place.levelTitle);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    m_tree = buildLessonTree(m_place.searchDir, st.rootListName, m_place.levelTitle);

    QTreeWidget* tv = ui->TreeView1;
    tv->setUpdatesEnabled(false);
    tv->clear();
    m_items.clear();
    m_items.reserve(m_tree.nodes.size());
    for (const TreeNode& n : m_tree.nodes) {
        auto* item = n.parent < 0 ? new QTreeWidgetItem(tv, {n.caption})
                                  : new QTreeWidgetItem(m_items[size_t(n.parent)], {n.caption});
        m_items.push_back(item);
    }
    markProgress();
    tv->expandAll();
    tv->setUpdatesEnabled(true);
    {
        const QSignalBlocker block(tv);
        tv->setCurrentItem(m_items.front());
    }
    ui->Label3->setText(st.programFolder + m_place.levelFolder + QStringLiteral("/") +
                        st.rootListName);
    restore.dismiss();
    QApplication::restoreOverrideCursor();

    QStringList problems = m_tree.unreadable;
    if (m_tree.truncated)
        problems << QStringLiteral("Strom je príliš veľký: zobrazuje sa len prvých %1 položiek.")
                        .arg(kMaxTreeNodes);
    if (!problems.isEmpty())
        st.message(MsgKind::Error, problems.join(QLatin1Char('\n')));
}

void TOknoHladaj::markProgress() {
    const ProgressFile progress = readProgress(st.tempFolder, courseIdentity(st.programFolder));
    if (progress.visits().isEmpty() && progress.tests().isEmpty())
        return;
    const QString day = m_place.levelFolder.trimmed();
    for (size_t i = 0; i < m_items.size() && i < m_tree.nodes.size(); ++i) {
        const TreeNode& n = m_tree.nodes[i];
        const QString list = i == 0 ? st.rootListName : n.target.section(QLatin1Char(' '), 0, 0);
        QString text = n.caption;
        QString spoken = n.caption;
        if (progress.wasRead(day, list)) {
            text += QStringLiteral("  ✓");
            spoken += QStringLiteral(", prečítané");
        }
        if (const auto t = progress.lastTest(day, list)) {
            text += QStringLiteral("  (naposledy %1 z %2)").arg(t->score).arg(t->maximum);
            spoken += QStringLiteral(", posledný test %1 z %2 bodov").arg(t->score).arg(t->maximum);
        }
        if (text != n.caption) {
            m_items[i]->setText(0, text);
            m_items[i]->setData(0, Qt::AccessibleTextRole, spoken);
        }
    }
}

void TOknoHladaj::startTextIndex() {
    if (m_text)
        return;
    m_text = std::make_unique<TextSearch>(st.programFolder, courseRootList(st.programFolder));
    connect(m_text.get(), &TextSearch::progress, this, [this](int done, int total) {
        m_form.guard([=, this] { textIndexProgress(done, total); });
    });
    connect(m_text.get(), &TextSearch::finished, this,
            [this] { m_form.guard([this] { textIndexFinished(); }); });
    ui->ProgressBar1->setRange(0, 0); // busy until the first count arrives
    ui->ProgressBar1->show();
    ui->Label5->hide();
    m_text->start();
    if (!m_text->problem().isEmpty())
        ui->Label5->setText(m_text->problem());
}

void TOknoHladaj::textIndexProgress(int done, int total) {
    ui->ProgressBar1->setRange(0, std::max(total, 1));
    ui->ProgressBar1->setValue(done);
}

void TOknoHladaj::textIndexFinished() {
    ui->ProgressBar1->hide();
    ui->Label5->setText(m_text->problem());
    ui->Label5->setToolTip(m_text->problem());
    ui->Label5->show();
    if (!ui->Edit2->text().isEmpty())
        runTextSearch();
}

void TOknoHladaj::Edit2Change() {
    m_debounce->start();
}

void TOknoHladaj::runTextSearch() {
    m_debounce->stop();
    QListWidget* list = ui->ListBox1;
    list->clear();
    m_hits.clear();
    const QString text = ui->Edit2->text();
    if (text.trimmed().isEmpty() || !m_text || !m_text->ready())
        return; // the search runs again once the index is ready
    m_hits = m_text->search(text);
    if (m_hits.isEmpty()) {
        auto* item = new QListWidgetItem(QStringLiteral("Nič sa nenašlo"), list);
        item->setFlags(Qt::NoItemFlags);
        return;
    }
    for (const TextHit& h : m_hits) {
        auto* item = new QListWidgetItem(
            h.captionPath + QStringLiteral(": ") + plainSnippet(h.snippet), list);
        item->setData(kHtmlRole, htmlSnippet(h.snippet));
        item->setData(kPathRole, h.captionPath);
        item->setToolTip(h.file);
    }
    list->setCurrentRow(0);
}

void TOknoHladaj::ListBox1DblClick() {
    const int row = ui->ListBox1->currentRow();
    if (row < 0 || row >= m_hits.size())
        return;
    const TextHit h = m_hits.at(row);
    openItem(st.programFolder + h.dayFolder + QStringLiteral("/"), h.caption, h.target,
             h.captionPath, h.node == 0);
}

int TOknoHladaj::selectedNode() const {
    const QTreeWidgetItem* cur = ui->TreeView1->currentItem();
    for (size_t i = 0; cur && i < m_items.size(); ++i)
        if (m_items[i] == cur)
            return int(i);
    return -1;
}

void TOknoHladaj::selectNode(int index) {
    if (index < 0 || size_t(index) >= m_items.size())
        return;
    ui->TreeView1->setCurrentItem(m_items[size_t(index)]);
    ui->TreeView1->scrollToItem(m_items[size_t(index)]);
}

void TOknoHladaj::Hadanie1Click() {
    ui->Panel1->show();
    ui->Edit1->setFocus();
    // The focus may not move while the window is inactive; the search must
    // still be possible.
    Edit1Enter();
}

void TOknoHladaj::Edit1Enter() {
    ui->Button2->setEnabled(true);
}

void TOknoHladaj::notFound() {
    const ConfigText text = st.configText(keys::NotFound);
    st.messageIf(text, MsgKind::Warning, text.value);
    ui->Button2->setEnabled(true);
    ui->Button3->hide();
}

void TOknoHladaj::Button2Click() {
    const QString text = ui->Edit1->text();
    if (text.isEmpty()) {
        const ConfigText msg = st.configText(keys::Nothing);
        st.messageIf(msg, MsgKind::Warning, msg.value);
        ui->Edit1->setFocus();
        return;
    }
    const int found = m_search.start(m_tree, text);
    if (found < 0) {
        notFound();
        return;
    }
    selectNode(found);
    ui->Button3->show();
    ui->Button4->show();
    ui->Button2->setEnabled(false);
}

void TOknoHladaj::Button4Click() {
    ui->Button4->hide();
    const int found = m_search.next(m_tree, ui->Edit1->text());
    if (found < 0) {
        notFound();
        return;
    }
    selectNode(found);
    ui->Button3->show();
    ui->Button4->show();
}

void TOknoHladaj::Button3Click() {
    auto again = qScopeGuard([this] { ui->Panel1->show(); });
    SpustiSubor();
}

void TOknoHladaj::TreeView1DblClick() {
    SpustiSubor();
}

void TOknoHladaj::TreeView1Click() {
    const int i = selectedNode();
    if (i < 0)
        return;
    ui->Label3->setText(st.programFolder + m_place.levelFolder + QStringLiteral("/") +
                        m_tree.nodes[size_t(i)].target);
}

void TOknoHladaj::Button1Click() {
    close();
}

void TOknoHladaj::SpustiSubor() {
    const int i = selectedNode();
    if (i < 0)
        return;
    const TreeNode& node = m_tree.nodes[size_t(i)];
    ui->Panel1->hide();
    openItem(m_place.searchDir, node.caption, node.target, titlePath(m_tree, i), i == 0);
}

void TOknoHladaj::openItem(const QString& dir, const QString& caption, const QString& target,
                           const QString& title, bool root) {
    if (!root && !passGate(m_form, gateFor(caption, st.teacherLoggedIn, st.solutionPasswordFlag)))
        return;
    const OpenPlan plan = planOpen(target);
    switch (plan.kind) {
    case OpenPlan::Program:
        runProgram(dir, target, plan);
        return;
    case OpenPlan::Demonstration:
        playDemonstration(dir, target, plan);
        return;
    case OpenPlan::ContentList:
        openInSecondCopy(dir, target, title);
        return;
    }
}

void TOknoHladaj::runProgram(const QString& dir, const QString& target, const OpenPlan& plan) {
    const QString shown = dir + target + QStringLiteral(" ");
    if (!isFile(dir + plan.fileName)) {
        const ConfigText text = st.configText(keys::Nonfile);
        st.messageIf(text, MsgKind::Warning, shown + text.value);
        return;
    }
    const QString program = resolvePath(dir + plan.fileName);
    if (refuseWithoutWine(st, program))
        return;
    AppState* state = &st;
    ShellOpen(*st.shell, program, splitParameters(plan.params), QString(),
              [state, shown](const QString&) {
                  const ConfigText text = state->configText(keys::Nonexe);
                  state->messageIf(text, MsgKind::Warning, shown + text.value);
              });
}

void TOknoHladaj::playDemonstration(const QString& dir, const QString& target,
                                    const OpenPlan& plan) {
    const ConfigText playerText = st.configText(keys::Scplayer);
    if (!playerExists(st)) {
        // Without arguments the missing player is reported in any case.
        if (target.contains(QLatin1Char(' ')))
            st.messageIf(playerText, MsgKind::Warning, playerText.value);
        else
            st.message(MsgKind::Warning, playerText.value);
        return;
    }
    if (!isFile(dir + plan.fileName)) {
        const ConfigText text = st.configText(keys::Scm);
        st.messageIf(text, MsgKind::Warning, text.value + QStringLiteral(" ") + plan.fileName);
        return;
    }
    AppState* state = &st;
    const QString shown = playerPath(st) + QStringLiteral(" ");
    startPlayer(st, dir + plan.fileName, [state, shown](const QString&) {
        const ConfigText text = state->configText(keys::Nonexe);
        state->messageIf(text, MsgKind::Warning, shown + text.value);
    });
}

void TOknoHladaj::openInSecondCopy(const QString& dir, const QString& target,
                                   const QString& title) {
    const QString path = dir + target;
    if (!isFile(path)) {
        const ConfigText text = st.configText(keys::Text);
        st.messageIf(text, MsgKind::Warning, text.value + QStringLiteral(" ") + target);
        return;
    }
    // The second copy is this very program in search-window mode; the tree
    // stays disabled until it ends, so only one runs from here.
    const QString program = QCoreApplication::applicationFilePath();
    const QStringList args = secondCopyArgs(resolvePath(path), st.selectedItem, title);
    setEnabled(false);
    auto enable = qScopeGuard([this] { setEnabled(true); });
    const int rc = st.shell->runAndWait(program, args, st.programFolder);
    if (rc == -1) {
        const ConfigText text = st.configText(keys::Nonexe);
        st.messageIf(text, MsgKind::Warning, program + QStringLiteral(" ") + text.value);
    }
}

void TOknoHladaj::open() {
    if (st.editPasswordSwitch && !st.teacherLoggedIn && !passGate(m_form, Gate::Teacher))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    ui->Hadanie1->setEnabled(false);
    ui->Hadanieintegrity1->setEnabled(false);
    ui->Label3->hide();
    ui->Panel1->hide();
    ui->Panel2->hide();
    const QString heading = st.CitajKonfig(keys::MissingFiles);
    const QString allAround = st.CitajKonfig(keys::AllAround);
    ui->Label1->setText(heading + QStringLiteral(" ") + m_place.levelFolder);
    const IntegrityReport r =
        checkIntegrity(m_tree, m_place.searchDir, m_place.levelFolder, allAround);
    ui->Memo1->setPlainText(r.lines.join(QLatin1Char('\n')));
    // Bars the list needs are always shown; otherwise Qt shows them only
    // when the text does not fit, so nothing is ever out of reach.
    const ScrollNeed need = integrityScrollBars(r.lines);
    ui->Memo1->setVerticalScrollBarPolicy(need.vertical ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAsNeeded);
    ui->Memo1->setHorizontalScrollBarPolicy(need.horizontal ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAsNeeded);
    ui->Memo1->show();
    ui->Memo1->raise();
    ui->Button5->show();
}

void TOknoHladaj::Button5Click() {
    ui->Memo1->hide();
    ui->Button5->hide();
    ui->Hadanie1->setEnabled(true);
    ui->Hadanieintegrity1->setEnabled(true);
    ui->Label1->setText(m_place.levelFolder);
    ui->Label3->setText(st.programFolder + m_place.levelFolder + QStringLiteral("/") +
                        m_tree.nodes.front().target);
    ui->Label3->show();
    ui->Panel2->show();
}

} // namespace orbino
