#pragma once
#include <QDialog>
#include <QImage>

class QCheckBox;

namespace Ui {
class TOknoObrazku;
}

namespace orbino {

class AppState;

// Shows one picture at its own size in the top left corner; the window opens
// at the picture's size, up to 90% of the screen. A picture larger than the
// window scrolls, or, with "fit to window", is shrunk to it. Button1 stays
// in the bottom right corner.
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
    void showPicture();

    AppState& st;
    QImage m_image;
    QCheckBox* m_fit = nullptr;
};

} // namespace orbino
