#pragma once
// Writes large synthetic courses for the benchmarks (Windows-1250, CR LF).
#include <QString>

namespace orbino::bench {

// A CONFIG.TXT of `lines` keyed lines; the keys the main window asks for
// are spread through it, so lookups scan realistic distances.
void writeLargeConfig(const QString& path, int lines);

// A content list with `items` item lines naming lesson texts beside it,
// a description block and a few link lines.
void writeContentList(const QString& path, int items);

} // namespace orbino::bench
