// The entry points of the fuzz targets: one per parser of drive text and of files.
//
// Each entry takes an input as bytes, runs it through the same functions the tool uses on what
// the drive or the disk hands it, and checks what must hold whatever the input (a dump yields whole
// lines only, an address field is normalised hexadecimal or empty, a console line never passes
// 110 bytes, ...). The libFuzzer targets (one executable per entry, built with HDDTERM_FUZZ) and
// the corpus replay of the ordinary test suite call the same entries, so what the fuzzer learned
// stays a regression test.
//
// A broken invariant goes to the failure handler: by default it prints the reason and aborts (the
// fuzzer then saves the input); the replay test installs one that records it.
#pragma once

#include <QByteArray>
#include <functional>
#include <string>
#include <vector>

namespace hddfuzz {

struct Target {
    const char* name;  // the target's name; its seeds live in fuzz/corpus/<name>/
    void (*run)(const QByteArray& input);
};

// Every target, in a fixed order.
const std::vector<Target>& targets();
const Target* findTarget(const std::string& name);

void setFailureHandler(std::function<void(const std::string& why)> handler);
void fail(const std::string& why);

}  // namespace hddfuzz

#define HDDFUZZ_CHECK(cond)                                                                              \
    do {                                                                                                 \
        if (!(cond)) ::hddfuzz::fail(std::string(__FILE__ ":") + std::to_string(__LINE__) + ": " #cond); \
    } while (false)
