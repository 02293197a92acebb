#include "platform/folder_chooser_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QTranslator>
#include <QUrl>

namespace orbino {

QString WidgetFolderChooser::chooseFolder(const QString& title, const QString& startFolder,
                                          const QString& sampleCourse) {
    // The dialog's own texts (column headings, context menu) in Slovak when
    // Qt's translations are installed; only while it is shown.
    QTranslator slovak;
    const bool translated =
        slovak.load(QLocale(QLocale::Slovak), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(&slovak);
    auto removeTranslator = qScopeGuard([&] {
        if (translated)
            QCoreApplication::removeTranslator(&slovak);
    });
    QFileDialog dlg(nullptr, title, startFolder);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setLabelText(QFileDialog::LookIn, QStringLiteral("Hľadať v:"));
    dlg.setLabelText(QFileDialog::FileName, QStringLiteral("Priečinok:"));
    // Only folders are chosen here: the file type row says nothing.
    for (const char* name : {"fileTypeLabel", "fileTypeCombo"})
        if (auto* w = dlg.findChild<QWidget*>(QLatin1String(name)))
            w->hide();
    dlg.setLabelText(QFileDialog::Accept, QStringLiteral("Vybrať"));
    dlg.setLabelText(QFileDialog::Reject, QStringLiteral("Zrušiť"));
    dlg.setAccessibleName(title);
    QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath()),
                       QUrl::fromLocalFile(QStringLiteral("/"))};
    bool sampleChosen = false;
    if (!sampleCourse.isEmpty()) {
        places.prepend(QUrl::fromLocalFile(sampleCourse));
        auto* sample = new QPushButton(QStringLiteral("Ukážkový kurz"), &dlg);
        sample->setAccessibleName(QStringLiteral("Ukážkový kurz"));
        sample->setToolTip(QDir::toNativeSeparators(sampleCourse));
        sample->setAutoDefault(false);
        QObject::connect(sample, &QPushButton::clicked, &dlg, [&] {
            sampleChosen = true;
            dlg.QDialog::done(QDialog::Rejected); // no checks of the typed name
        });
        // In the dialog's own grid, where the hidden file type row was.
        auto* grid = qobject_cast<QGridLayout*>(dlg.layout());
        auto* typeRow = dlg.findChild<QWidget*>(QStringLiteral("fileTypeCombo"));
        int row = -1, column = 0, rowSpan = 0, columnSpan = 0;
        if (grid && typeRow && grid->indexOf(typeRow) >= 0)
            grid->getItemPosition(grid->indexOf(typeRow), &row, &column, &rowSpan, &columnSpan);
        if (grid)
            grid->addWidget(sample, row >= 0 ? row : grid->rowCount(), 0, Qt::AlignLeft);
        else
            dlg.layout()->addWidget(sample);
    }
    dlg.setSidebarUrls(places);
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        return dlg.selectedFiles().constFirst();
    return sampleChosen ? sampleCourse : QString();
}

} // namespace orbino
