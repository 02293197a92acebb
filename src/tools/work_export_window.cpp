#include "tools/work_export_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbino {

TOknoMenoZiaka::TOknoMenoZiaka(const QString& name, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TOknoMenoZiaka"));
    setWindowTitle(QStringLiteral("Export mojej práce"));
    auto* label = new QLabel(QStringLiteral("&Meno a priezvisko na stránke s prácou:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    edit = new QLineEdit(name, this);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->setAccessibleName(QStringLiteral("Meno žiaka"));
    edit->setMaxLength(200);
    edit->selectAll();
    label->setBuddy(edit);
    okButton = new QPushButton(QStringLiteral("Ďalej"), this);
    okButton->setObjectName(QStringLiteral("Button1"));
    okButton->setAccessibleName(QStringLiteral("Ďalej"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Zrušiť"), this);
    cancelButton->setObjectName(QStringLiteral("Button2"));
    cancelButton->setAccessibleName(QStringLiteral("Zrušiť"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString TOknoMenoZiaka::name() const {
    // One line on the page: nothing of a pasted text's line ends or tabs.
    return edit->text().simplified();
}

} // namespace orbino
