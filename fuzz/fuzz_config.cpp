// The CONFIG.TXT scan on arbitrary bytes: it must never crash, and what it
// finds must really be a line with that key.
#include "app/app_state.h"
#include "platform/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const char* key : {"END", "IP", "MENU ABOUT WRITE US", "K", "PATH TEMP"}) {
        const orbino::ConfigLine l = orbino::findConfigLine(bytes, QByteArray(key));
        if (l.found) {
            // The value is the text of one line: no line end inside it.
            if (l.value.contains(QLatin1Char('\r')))
                std::abort();
            if (l.sw != 0 && l.sw != 1)
                std::abort();
        }
    }
    return 0;
}
