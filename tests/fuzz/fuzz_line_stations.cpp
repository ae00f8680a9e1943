// Any bytes as the server's "rcm.txt": read without a crash; every station read came from one line.
#include "lines/line_files.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<StationEntry> stations = stationsFromBytes(bytes);
    if (stations.size() > bytes.count('=')) __builtin_trap();
    for (const StationEntry& s : stations)
        if (s.number.contains(QLatin1Char('=')) || s.number.contains(QLatin1Char(';'))) __builtin_trap();
    return 0;
}
