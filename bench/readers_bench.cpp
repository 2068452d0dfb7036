// The readers of files the program does not write itself must cost time in
// proportion to their size, whatever the bytes: an executable searched for
// its version block, and a registry store with a great many values in one
// key (the store is read at every open of a key).
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/version.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

constexpr size_t kHostileSize = 4u << 20;

// Two shapes of a file full of version-block markers that never ends as a
// block: markers with no field terminator at all, and whole blocks whose
// records run on to the end of the file without an "END".
std::string hostileExecutable(bool terminated) {
    const std::string marker = version::blockMarker();
    const std::string unit = terminated ? marker + std::string("\0" "1\0" "STRING\0" "x\0", 12) : marker;
    std::string bytes;
    bytes.reserve(kHostileSize + unit.size());
    while (bytes.size() < kHostileSize) bytes += unit;
    return bytes;
}

void BM_VersionBlockInHostileExecutable(benchmark::State& state) {
    test::TempDir dir;
    const std::string file = dir.write("hostile.exe", hostileExecutable(state.range(0) != 0));
    for (auto _ : state) {
        auto resource = platform::readVersionResource(file);
        if (resource) state.SkipWithError("a block was found where there is none");
        benchmark::DoNotOptimize(resource);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kHostileSize));
}
BENCHMARK(BM_VersionBlockInHostileExecutable)->ArgName("terminated")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenRegistryKeyWithManyValues(benchmark::State& state) {
    const int values = static_cast<int>(state.range(0));
    test::TempDir dir;
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Harthollow\\Quillmere]\n";
    for (int i = 0; i < values; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "\"Value%06d\"=dword:%08x\n", i, static_cast<unsigned>(i));
        text += line;
    }
    const std::string store = dir.write("registry.reg", text);
    auto registry = platform::makeRegistry(store);
    for (auto _ : state) {
        auto key = registry->openForReading(RegRoot::LocalMachine, "SOFTWARE\\Harthollow\\Quillmere", RegAccess::Read);
        if (!key || key->readInteger("Value000007") != 7) state.SkipWithError("the store did not read back");
    }
}
BENCHMARK(BM_OpenRegistryKeyWithManyValues)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm
