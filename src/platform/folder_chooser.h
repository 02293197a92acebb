#pragma once
#include <QString>

namespace orbino {

// The folder chooser of the start, so tests script it.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // Shows the chooser titled `title`, starting in `startFolder`, offering
    // `sampleCourse` too when it is not empty. The chosen folder, or an empty
    // text when the user cancelled.
    virtual QString chooseFolder(const QString& title, const QString& startFolder,
                                 const QString& sampleCourse) = 0;
};

} // namespace orbino
