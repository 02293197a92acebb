#pragma once
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

namespace orbino {

struct ScreenMetrics {
    int width = 1024;
    int height = 768;
    int dpi = 96;
};

// Screen size and the computer's network identity; injectable so the
// layouts of 1024-pixel and other screens are tested on any machine.
// A mounted file system: where it is mounted and what its owner calls it.
struct MountedVolume {
    QString root; // ends with "/"
    QString name; // the volume's label, else its folder's name
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual ScreenMetrics screen() const = 0;
    // What the windows may take of the real screen, in logical pixels;
    // empty when not known (a window then takes its designed place).
    virtual QRect availableArea() const { return {}; }
    virtual QString hostName() const = 0;
    // First IPv4 address of the host name in dotted form; empty when the
    // name does not resolve.
    virtual QString hostAddress() const = 0;
    // The mounted file systems and the account running the program, for the
    // places the copy window offers; none known by default.
    virtual QList<MountedVolume> mountedVolumes() const { return {}; }
    virtual QString userName() const { return {}; }
};

// The primary monitor's size in physical pixels, asked of the X server
// before any application object exists (the zoom must be chosen first);
// empty on other platforms or when the server cannot be reached.
QSize monitorPixels();

// Host name and address from the C library; screen metrics given by the
// window layer (the core does not know about screens).
class RealSystemInfo : public SystemInfo {
public:
    explicit RealSystemInfo(ScreenMetrics m, QRect available = {})
        : m_screen(m), m_available(available) {}
    ScreenMetrics screen() const override { return m_screen; }
    QRect availableArea() const override { return m_available; }
    QString hostName() const override;
    QString hostAddress() const override;
    QList<MountedVolume> mountedVolumes() const override;
    QString userName() const override;

private:
    ScreenMetrics m_screen;
    QRect m_available;
};

} // namespace orbino
