// Decoding raw file names and Windows-1250 text lines: never a crash, and
// text that decodes from Windows-1250 encodes back to the same bytes.
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)orbino::decodeFileName(bytes);
    (void)orbino::lastComponent(orbino::decode1250(bytes));
    (void)orbino::fromWindowsPath(orbino::decode1250(bytes));
    const QStringList lines = orbino::splitLines1250(bytes);
    for (const QString& line : lines) {
        if (line.contains(QLatin1Char('\r')) || line.contains(QChar(0x1a)))
            std::abort();
        try {
            const QByteArray back = orbino::encode1250(line, QStringLiteral("fuzz"));
            if (orbino::decode1250(back) != line)
                std::abort();
        } catch (const orbino::FileError&) {
            // Bytes the code page leaves undefined cannot be written back: fine.
        }
    }
    return 0;
}
