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
#include "ui_tree_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QTreeWidget>

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

} // namespace

TOknoHladaj::TOknoHladaj(TForm1& form, QWidget* parent)
    : QMainWindow(parent), ui(new Ui::TOknoHladaj), m_form(form), st(form.st) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The found item stays marked while the search panel has the focus.
    QPalette p = ui->TreeView1->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    ui->TreeView1->setPalette(p);
    ui->Edit1->installEventFilter(this);

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
}

TOknoHladaj::~TOknoHladaj() { delete ui; }

bool TOknoHladaj::eventFilter(QObject* o, QEvent* e) {
    if (o == ui->Edit1 && e->type() == QEvent::FocusIn)
        m_form.guard([this] { Edit1Enter(); });
    return QMainWindow::eventFilter(o, e);
}

void TOknoHladaj::FormCreate() {
    ui->Button1->setText(st.CitajKonfig(keys::WindowTree));
}

void TOknoHladaj::FormActivate() {
    if (m_built)
        return;
    m_built = true;
    m_place = treePlace(st, st.currentLevel);
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
    ui->Label3->setText(st.programFolder + m_place.levelFolder + QStringLiteral("/") + st.rootListName);
    restore.dismiss();
    QApplication::restoreOverrideCursor();

    QStringList problems = m_tree.unreadable;
    if (m_tree.truncated)
        problems << QStringLiteral("Strom je príliš veľký: zobrazuje sa len prvých %1 položiek.").arg(kMaxTreeNodes);
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

void TOknoHladaj::Edit1Enter() { ui->Button2->setEnabled(true); }

void TOknoHladaj::notFound() {
    const QString text = st.CitajKonfig(keys::NotFound);
    st.messageIfSwitch(MsgKind::Warning, text);
    ui->Button2->setEnabled(true);
    ui->Button3->hide();
}

void TOknoHladaj::Button2Click() {
    const QString text = ui->Edit1->text();
    if (text.isEmpty()) {
        const QString msg = st.CitajKonfig(keys::Nothing);
        st.messageIfSwitch(MsgKind::Warning, msg);
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

void TOknoHladaj::TreeView1DblClick() { SpustiSubor(); }

void TOknoHladaj::TreeView1Click() {
    const int i = selectedNode();
    if (i < 0)
        return;
    ui->Label3->setText(st.programFolder + m_place.levelFolder + QStringLiteral("/") + m_tree.nodes[size_t(i)].target);
}

void TOknoHladaj::Button1Click() { close(); }

void TOknoHladaj::SpustiSubor() {
    const int i = selectedNode();
    if (i < 0)
        return;
    const TreeNode& node = m_tree.nodes[size_t(i)];
    const QString target = node.target;
    ui->Panel1->hide();
    if (i > 0 && !passGate(m_form, gateFor(node.caption, st.teacherLoggedIn, st.solutionPasswordFlag)))
        return;

    const QString dir = m_place.searchDir;
    const OpenPlan plan = planOpen(target);
    switch (plan.kind) {
    case OpenPlan::Program: {
        const QString shown = dir + target + QStringLiteral(" ");
        if (!isFile(dir + plan.fileName)) {
            const QString text = st.CitajKonfig(keys::Nonfile);
            st.messageIfSwitch(MsgKind::Warning, shown + text);
            return;
        }
        AppState* state = &st;
        ShellOpen(*st.shell, resolvePath(dir + plan.fileName), splitParameters(plan.params), QString(),
                  [state, shown](const QString&) {
                      const QString text =
                          state->CitajKonfig(keys::Nonexe);
                      state->messageIfSwitch(MsgKind::Warning, shown + text);
                  });
        return;
    }
    case OpenPlan::Demonstration: {
        const QString playerText = st.CitajKonfig(keys::Scplayer);
        if (!playerExists(st)) {
            // Without arguments the missing player is reported in any case.
            if (target.contains(QLatin1Char(' ')))
                st.messageIfSwitch(MsgKind::Warning, playerText);
            else
                st.message(MsgKind::Warning, playerText);
            return;
        }
        if (!isFile(dir + plan.fileName)) {
            const QString text = st.CitajKonfig(keys::Scm);
            st.messageIfSwitch(MsgKind::Warning, text + QStringLiteral(" ") + plan.fileName);
            return;
        }
        AppState* state = &st;
        const QString shown = playerPath(st) + QStringLiteral(" ");
        startPlayer(st, dir + plan.fileName, [state, shown](const QString&) {
            const QString text =
                state->CitajKonfig(keys::Nonexe);
            state->messageIfSwitch(MsgKind::Warning, shown + text);
        });
        return;
    }
    case OpenPlan::ContentList: {
        const QString path = dir + target;
        if (!isFile(path)) {
            const QString text = st.CitajKonfig(keys::Text);
            st.messageIfSwitch(MsgKind::Warning, text + QStringLiteral(" ") + target);
            return;
        }
        // The second copy is this very program in search-window mode; the
        // tree stays disabled until it ends, so only one runs from here.
        const QString program = QCoreApplication::applicationFilePath();
        const QStringList args = secondCopyArgs(resolvePath(path), st.selectedItem, titlePath(m_tree, i));
        setEnabled(false);
        auto enable = qScopeGuard([this] { setEnabled(true); });
        const int rc = st.shell->runAndWait(program, args, st.programFolder);
        if (rc == -1) {
            const QString text =
                st.CitajKonfig(keys::Nonexe);
            st.messageIfSwitch(MsgKind::Warning, program + QStringLiteral(" ") + text);
        }
        return;
    }
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
    const QString heading =
        st.CitajKonfig(keys::MissingFiles);
    const QString allAround = st.CitajKonfig(keys::AllAround);
    ui->Label1->setText(heading + QStringLiteral(" ") + m_place.levelFolder);
    const IntegrityReport r = checkIntegrity(m_tree, m_place.searchDir, m_place.levelFolder, allAround);
    ui->Memo1->setPlainText(r.lines.join(QLatin1Char('\n')));
    // Bars the list needs are always shown; otherwise Qt shows them only
    // when the text does not fit, so nothing is ever out of reach.
    const ScrollNeed need = integrityScrollBars(r.lines);
    ui->Memo1->setVerticalScrollBarPolicy(need.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    ui->Memo1->setHorizontalScrollBarPolicy(need.horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
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
    ui->Label3->setText(st.programFolder + m_place.levelFolder + QStringLiteral("/") + m_tree.nodes.front().target);
    ui->Label3->show();
}

} // namespace orbino
