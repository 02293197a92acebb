#include "platform/system.h"

#include <QStorageInfo>

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <pwd.h>
#include <unistd.h>

#ifdef ORBINO_HAVE_XCB
#include <xcb/randr.h>
#include <xcb/xcb.h>
#endif

namespace orbino {

QSize monitorPixels() {
#ifdef ORBINO_HAVE_XCB
    // Only where Qt itself will talk to the X server.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0)
        return {};
    if ((!platform || !*platform) && std::getenv("WAYLAND_DISPLAY"))
        return {};
    if (!std::getenv("DISPLAY"))
        return {};
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (!c || xcb_connection_has_error(c)) {
        if (c)
            xcb_disconnect(c);
        return {};
    }
    QSize size;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem && i < screenNumber; ++i)
        xcb_screen_next(&it);
    if (it.rem) {
        const xcb_screen_t* screen = it.data;
        size = QSize(screen->width_in_pixels, screen->height_in_pixels);
        // With several monitors the root window spans them all: the primary
        // monitor (or the first) is the one the windows open on.
        xcb_randr_get_monitors_reply_t* monitors =
            xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, screen->root, 1), nullptr);
        if (monitors) {
            xcb_randr_monitor_info_iterator_t m =
                xcb_randr_get_monitors_monitors_iterator(monitors);
            QSize first;
            for (; m.rem; xcb_randr_monitor_info_next(&m)) {
                const QSize here(m.data->width, m.data->height);
                if (first.isEmpty())
                    first = here;
                if (m.data->primary) {
                    first = here;
                    break;
                }
            }
            if (!first.isEmpty())
                size = first;
            std::free(monitors);
        }
    }
    xcb_disconnect(c);
    return size;
#else
    return {};
#endif
}

QString RealSystemInfo::hostName() const {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return {};
    return QString::fromLocal8Bit(buf);
}

QString RealSystemInfo::hostAddress() const {
    const QByteArray name = hostName().toLocal8Bit();
    if (name.isEmpty())
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (::getaddrinfo(name.constData(), nullptr, &hints, &res) != 0 || !res)
        return {};
    char out[INET_ADDRSTRLEN] = {};
    const auto* sin = reinterpret_cast<const sockaddr_in*>(res->ai_addr);
    ::inet_ntop(AF_INET, &sin->sin_addr, out, sizeof out);
    ::freeaddrinfo(res);
    return QString::fromLatin1(out);
}

QList<MountedVolume> RealSystemInfo::mountedVolumes() const {
    QList<MountedVolume> out;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady())
            continue;
        QString root = v.rootPath();
        if (!root.endsWith(QLatin1Char('/')))
            root += QLatin1Char('/');
        QString name = v.name();
        if (name.isEmpty())
            name = root.section(QLatin1Char('/'), -2, -2);
        out.push_back({root, name});
    }
    return out;
}

QString RealSystemInfo::userName() const {
    // The account, not $USER: the desktop mounts media under the account's name.
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace orbino
