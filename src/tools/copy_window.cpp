#include "tools/copy_window.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "tools/copy.h"
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
    // The right-hand side starts in the current folder, which closing restores.
    m_savedFolder = QDir::currentPath();
    m_right = withSlash(QDir::currentPath());
    m_drives = driveRoots();
    ui->DriveComboBox1->addItems(m_drives);
    ui->DriveComboBox1->setCurrentIndex(int(m_drives.indexOf(driveOf(m_drives, m_right))));
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

void TOknoKopy::refreshLeft() {
    ui->FileListBox1->clear();
    ui->FileListBox1->addItems(noteAndLinkFiles(st.tempFolder));
}

void TOknoKopy::refreshRight() {
    ui->FileListBox2->clear();
    ui->FileListBox2->addItems(filesIn(m_right));
}

void TOknoKopy::fillFolders() {
    // Like a folder list box: the way down from the drive's root, then the
    // subfolders of the folder in front, each indented by its depth.
    ui->DirectoryListBox1->clear();
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
        const QString label = c == drive ? drive : lastComponent(c.chopped(1));
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + label,
                                         ui->DirectoryListBox1);
        item->setData(kPathRole, c);
        ++depth;
    }
    ui->DirectoryListBox1->setCurrentRow(ui->DirectoryListBox1->count() - 1);
    for (const QString& sub : foldersIn(m_right)) {
        auto* item =
            new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + sub, ui->DirectoryListBox1);
        item->setData(kPathRole, withSlash(m_right + sub));
    }
}

void TOknoKopy::setRightFolder(const QString& folder) {
    const QString f = withSlash(resolvePath(folder));
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

void TOknoKopy::SpeedButton3Click() {
    const QStringList names = selectedNames(ui->FileListBox2);
    if (names.isEmpty())
        return;
    // The lists show what did arrive, also when a file on the way failed.
    try {
        copyFiles(m_right, names, st.tempFolder);
    } catch (...) {
        refreshLeft();
        throw;
    }
    refreshLeft();
}

void TOknoKopy::SpeedButton4Click() {
    const QStringList names = selectedNames(ui->FileListBox1);
    if (names.isEmpty())
        return;
    try {
        copyFiles(st.tempFolder, names, m_right);
    } catch (...) {
        refreshRight();
        throw;
    }
    refreshRight();
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
