#pragma once
#include <QDialog>
#include <QImage>

namespace Ui {
class TOknoObrazku;
}

namespace orbino {

class AppState;

// Shows one picture at its own size in the top left corner; a picture larger
// than the window scrolls. Button1 stays in the bottom right corner.
class TOknoObrazku : public QDialog {
    Q_OBJECT
    // The generated form: only this window's own files touch its controls.
    Ui::TOknoObrazku* ui;

public:
    explicit TOknoObrazku(AppState& st, QWidget* parent = nullptr);
    ~TOknoObrazku() override;

    // Loads the picture before the window is shown, so a damaged file is
    // reported instead of an empty window. Throws FileError naming the file.
    void loadPicture(const QString& path);
    // Keeps Button1 in its corner and the scroll ranges at the picture's size.
    void FormResize();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    AppState& st;
};

} // namespace orbino
