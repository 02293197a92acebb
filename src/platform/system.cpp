#include "platform/system.h"

#include <arpa/inet.h>
#include <netdb.h>
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

} // namespace orbino
