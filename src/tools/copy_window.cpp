#include "tools/copy_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "tools/tool_window.h"
#include "ui_copy_window.h"

#include <QDir>
#include <memory>

namespace orbino {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;

QString withSlash(const QString& p) {
    return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
}
} // namespace

TOknoKopy::TOknoKopy(TForm1& form)
    : QDialog(&form), ui(new Ui::TOknoKopy), m_form(form), st(form.st) {
    ui->setupUi(this);
    ui->Label3->setWordWrap(true);
    frameToolWindow(this, {ui->Button1});
    onClicksGuarded<TOknoKopy>(m_form, this,
                               {{ui->SpeedButton3, &TOknoKopy::SpeedButton3Click},
                                {ui->SpeedButton4, &TOknoKopy::SpeedButton4Click},
                                {ui->Button1, &TOknoKopy::Button1Click}});
    connect(ui->DriveComboBox1, &QComboBox::activated, this,
            [this](int i) { m_form.guard([this, i] { chooseDrive(i); }); });
    connect(ui->DirectoryListBox1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) {
                const QString path = item->data(kPathRole).toString();
                m_form.guard([this, path] { setRightFolder(path); });
            });
    // Browsing changes the current folder; closing puts it back.
    m_savedFolder = QDir::currentPath();
    // The right-hand side offers the learner's own media and home folder
    // only, and starts on the first medium: the current folder is the
    // course, where nothing of the learner's belongs.
    const QList<MountedVolume> mounts =
        st.system ? st.system->mountedVolumes() : QList<MountedVolume>{};
    const QString user = st.system ? st.system->userName() : QString();
    m_places = copyPlaces(mounts, user, QDir::homePath(), st.programFolder);
    for (const CopyPlace& p : m_places) {
        m_drives << p.folder;
        ui->DriveComboBox1->addItem(p.name, p.folder);
        ui->DriveComboBox1->setItemData(ui->DriveComboBox1->count() - 1, p.folder, Qt::ToolTipRole);
    }
    m_right = copyStartFolder(m_places);
    const int d = int(m_drives.indexOf(driveOf(m_drives, m_right)));
    ui->DriveComboBox1->setCurrentIndex(d);
    if (m_right.isEmpty())
        ui->Label4->setText(
            QStringLiteral("Nie je pripojený žiadny kľúč USB ani domovský priečinok."));
    fillFolders();
    refreshRight();
}

TOknoKopy::~TOknoKopy() {
    delete ui;
}

void TOknoKopy::run(TForm1& form) {
    runToolWindow<TOknoKopy>(form);
}

void TOknoKopy::FormActivate() {
    setWindowTitle(st.CitajKonfig(keys::WindowCopy));
    ui->Label2->setText(st.CitajKonfig(keys::WindowCopyLabel));
    ui->Label3->setText(st.CitajKonfig(keys::WindowCopyMaska));
    ui->Button1->setText(st.CitajKonfig(keys::WindowCopyClose));
    // A long path keeps its end, where the folder's own name is.
    ui->Label1->setText(
        ui->Label1->fontMetrics().elidedText(st.tempFolder, Qt::ElideLeft, ui->Label1->width()));
    ui->Label1->setToolTip(st.tempFolder);
    refreshLeft();
}

namespace {
// Refills a file list; the files that were selected stay selected, so a
// copy that was declined in part can be repeated at once.
void refill(QListWidget* list, const QStringList& names) {
    QStringList selected;
    for (const QListWidgetItem* item : list->selectedItems())
        selected << item->text();
    list->clear();
    list->addItems(names);
    for (int i = 0; i < list->count(); ++i)
        if (selected.contains(list->item(i)->text()))
            list->item(i)->setSelected(true);
}
} // namespace

void TOknoKopy::refreshLeft() {
    refill(ui->FileListBox1, noteAndLinkFiles(st.tempFolder));
}

void TOknoKopy::refreshRight() {
    refill(ui->FileListBox2, m_right.isEmpty() ? QStringList() : filesIn(m_right));
}

void TOknoKopy::fillFolders() {
    // Like a folder list box: the way down from the drive's root, then the
    // subfolders of the folder in front, each indented by its depth.
    ui->DirectoryListBox1->clear();
    if (m_right.isEmpty())
        return;
    const QString drive = driveOf(m_drives, m_right);
    QStringList chain{drive};
    const QStringList parts = m_right.mid(drive.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = drive;
    for (const QString& p : parts) {
        path = withSlash(path) + p;
        chain << withSlash(path);
    }
    int depth = 0;
    for (const QString& c : chain) {
        const qsizetype place = m_drives.indexOf(c);
        const QString label = place >= 0                ? m_places.at(place).name
                              : c == QLatin1String("/") ? c
                                                        : lastComponent(c.chopped(1));
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + label,
                                         ui->DirectoryListBox1);
        item->setData(kPathRole, c);
        ++depth;
    }
    ui->DirectoryListBox1->setCurrentRow(ui->DirectoryListBox1->count() - 1);
    for (const QString& sub : foldersIn(m_right)) {
        if (insideFolder(m_right + sub, st.programFolder))
            continue; // the course is not offered
        auto* item =
            new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub, ui->DirectoryListBox1);
        item->setData(kPathRole, withSlash(m_right + sub));
    }
}

void TOknoKopy::setRightFolder(const QString& folder) {
    const QString f = withSlash(resolvePath(folder));
    if (insideFolder(f, st.programFolder)) {
        st.message(MsgKind::Warning,
                   QStringLiteral("Do priečinka kurzu sa nekopíruje (") + f.chopped(1) +
                       QStringLiteral("). Vyberte kľúč USB alebo domovský priečinok."));
        return;
    }
    if (!isDir(f) || !QDir::setCurrent(f))
        throw FileError(f, QStringLiteral("priečinok sa nedá otvoriť"));
    m_right = f;
    const int d = int(m_drives.indexOf(driveOf(m_drives, m_right)));
    if (d >= 0)
        ui->DriveComboBox1->setCurrentIndex(d);
    fillFolders();
    refreshRight();
}

void TOknoKopy::chooseDrive(int index) {
    if (index >= 0 && index < m_drives.size())
        setRightFolder(m_drives.at(index));
}

QStringList TOknoKopy::selectedNames(const QListWidget* list) {
    // In list order, whatever order they were picked in.
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            names << list->item(i)->text();
    return names;
}

void TOknoKopy::copyAndReport(const QString& from, const QStringList& names, const QString& to) {
    const CopyResult r = copyAsking(from, names, to, [&](const QString& name) {
        if (!st.prompter)
            return Overwrite::No;
        switch (st.prompter->choose(
            MsgKind::Confirmation, overwriteQuestion(name, to),
            {QStringLiteral("Áno"), QStringLiteral("Nie"), QStringLiteral("Áno všetkým")}, 1)) {
        case 0:
            return Overwrite::Yes;
        case 2:
            return Overwrite::YesToAll;
        default:
            return Overwrite::No;
        }
    });
    // The lists show what did arrive, also when a file on the way failed.
    refreshLeft();
    refreshRight();
    ui->Label4->setText(copySummary(r));
    if (!r.failedName.isEmpty())
        st.message(MsgKind::Error, QStringLiteral("Súbor ") + joinPath(from, r.failedName) +
                                       QStringLiteral(" sa nepodarilo skopírovať: ") + r.failure);
}

void TOknoKopy::SpeedButton3Click() {
    const QStringList names = selectedNames(ui->FileListBox2);
    if (names.isEmpty() || m_right.isEmpty())
        return;
    copyAndReport(m_right, names, st.tempFolder);
}

void TOknoKopy::SpeedButton4Click() {
    const QStringList names = selectedNames(ui->FileListBox1);
    if (names.isEmpty() || m_right.isEmpty())
        return;
    copyAndReport(st.tempFolder, names, m_right);
}

void TOknoKopy::Button1Click() {
    accept();
}

void TOknoKopy::done(int result) {
    if (!m_savedFolder.isEmpty())
        QDir::setCurrent(m_savedFolder);
    QDialog::done(result);
}

} // namespace orbino
