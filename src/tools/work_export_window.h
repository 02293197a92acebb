#pragma once
// The question before the export of the learner's work: the name the page is
// signed with, filled in with the one used last time (or the account's).
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace orbino {

class TOknoMenoZiaka : public QDialog {
    Q_OBJECT
public:
    explicit TOknoMenoZiaka(const QString& name, QWidget* parent = nullptr);
    QString name() const;

    QLineEdit* edit = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

} // namespace orbino
