// One libFuzzer target: the entry named by HDDFUZZ_TARGET (see fuzz_entries.h).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const hddfuzz::Target* target = [] {
        const hddfuzz::Target* t = hddfuzz::findTarget(HDDFUZZ_TARGET);
        if (!t) {
            std::fprintf(stderr, "no fuzz entry named %s\n", HDDFUZZ_TARGET);
            std::abort();
        }
        return t;
    }();
    target->run(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
