// Any bytes as "planning.cfg": every planning has a name of at most 32 characters, and the bytes past the
// record change nothing.
#include "lines/line_table.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PlanningTable plannings = PlanningTable::fromBytes(bytes);
    const PlanningTable padded = PlanningTable::fromBytes(bytes + QByteArray(PlanningTable::kSize, 'x'));
    const bool complete = bytes.size() >= PlanningTable::kSize;
    for (int k = 0; k <= PlanningTable::kCount + 1; ++k) {
        const QString name = plannings.planningName(k);
        if (name.size() > 32 || ((k == 0 || k > PlanningTable::kCount) && !name.isEmpty())) __builtin_trap();
        if (complete && padded.planningName(k) != name) __builtin_trap();
    }
    return 0;
}
