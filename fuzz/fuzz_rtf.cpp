// libFuzzer target for the RTF reader. Besides crashes, hangs and leaks it
// checks that whatever the reader accepts, the writer writes in a form that
// reads back to the same lines.
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Documents reused from input to input, as the program reuses its text
    // panels' from lesson to lesson: the reader starts each read afresh.
    static QTextDocument doc;
    static QTextDocument again;
    orbino::readRtf(input, doc);

    orbino::readRtf(orbino::writeRtf(doc), again);
    if (orbino::plainLines(again) != orbino::plainLines(doc))
        std::abort();
    return 0;
}
