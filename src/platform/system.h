#pragma once
#include <QString>

namespace orbino {

struct ScreenMetrics {
    int width = 1024;
    int height = 768;
    int dpi = 96;
};

// Screen size and the computer's network identity; injectable so the
// layouts of 1024-pixel and other screens are tested on any machine.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual ScreenMetrics screen() const = 0;
    virtual QString hostName() const = 0;
    // First IPv4 address of the host name in dotted form; empty when the
    // name does not resolve.
    virtual QString hostAddress() const = 0;
};

// Host name and address from the C library; screen metrics given by the
// window layer (the core does not know about screens).
class RealSystemInfo : public SystemInfo {
public:
    explicit RealSystemInfo(ScreenMetrics m) : m_screen(m) {}
    ScreenMetrics screen() const override { return m_screen; }
    QString hostName() const override;
    QString hostAddress() const override;

private:
    ScreenMetrics m_screen;
};

} // namespace orbino
