#pragma once
#include "platform/folder_chooser.h"

namespace orbino {

// The start's folder chooser: Qt's own file dialog (the same on every
// desktop), with a button and a side-bar place for the sample course.
class WidgetFolderChooser : public FolderChooser {
public:
    QString chooseFolder(const QString& title, const QString& startFolder,
                         const QString& sampleCourse) override;
};

} // namespace orbino
