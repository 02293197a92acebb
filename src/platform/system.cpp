#include "platform/system.h"

#include <QStorageInfo>

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <unistd.h>

namespace orbino {

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
