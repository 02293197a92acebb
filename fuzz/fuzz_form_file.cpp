// The temp form file that level windows are cloned from, on arbitrary bytes:
// it lies in the learner's folder, where anything may end up in its place.
// Applying it to a fresh window either throws FileError or gives a window,
// never a crash; and the file that window writes, read into another window,
// settles: from there on each window writes back the file it was made from.
// (The first rewrite may differ: the rich-text controls write their text in
// their own normal form, with out-of-range sizes cut, whatever the file had.)
#include "app/app_state.h"
#include "app/form_file_window.h"
#include "app/main_window.h"
#include "platform/dialogs_window.h"
#include "platform/errors.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace orbino;

namespace {

// Widgets need an application; one for the whole run, without a screen.
struct Platform {
    Platform() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        // The first window loads and shapes the fonts once: seconds on a busy
        // machine, which must not count against the first input's time.
        TForm1 warm(st, modal, false);
        applyFormBytes(warm, formFileBytes(warm), QStringLiteral("temp.dfm"));
    }
    int argc = 1;
    char name[16] = "fuzz_form_file";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    AppState st;
    ModalRunner modal;
};

Platform* p = nullptr;

} // namespace

// Made before the first input, outside the time limit of each input: loading
// the platform plugins takes seconds on a busy machine.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    p = new Platform; // kept for the whole run, as the program's own is
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // A fresh window each time, as the program makes one per level: a crash
    // then repeats from its one input.
    TForm1 w(p->st, p->modal, false);
    try {
        applyFormBytes(w, bytes, QStringLiteral("temp.dfm"));
    } catch (const FileError&) {
        return 0;
    }
    TForm1 again(p->st, p->modal, false);
    applyFormBytes(again, formFileBytes(w), QStringLiteral("temp.dfm"));
    const QByteArray settled = formFileBytes(again);
    TForm1 third(p->st, p->modal, false);
    applyFormBytes(third, settled, QStringLiteral("temp.dfm"));
    if (formFileBytes(third) != settled)
        std::abort();
    return 0;
}
