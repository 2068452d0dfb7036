// A stand-in for the games' command-line tool, for tests and the sample
// installation. It accepts the command lines the program builds, prints
// what it was asked to do and ends with 0.
//
// Driven by the environment, so a test can ask for exact output:
//   QM_UCC_OUTPUT_BYTES=N  print exactly N bytes instead of the usual text:
//                          byte i is 'a' + i % 26 (no line breaks)
//   QM_UCC_SLEEP_MS=N      wait N milliseconds before printing
//   QM_UCC_READ_STDIN=1    read standard input to its end first and report
//                          how many bytes it held
//   QM_UCC_RECORD=path     append one line per call to `path`: the
//                          arguments, each followed by a tab
// It always writes one line to standard error, which callers are expected
// to discard.
//
// `compress <package>...` writes `<package>.uz2` beside each package (a
// small text naming the package and its size, written under a temporary
// name first so a watcher never sees half of it) and ends with 1 when a
// package cannot be read or its .uz2 cannot be written.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// The file name of a path given in either separator style.
std::string fileName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string withExtension(const std::string& name, const std::string& ext) {
    const size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ext;
}

bool compress(const std::string& package) {
    std::FILE* in = std::fopen(package.c_str(), "rb");
    if (!in) return false;
    unsigned long long size = 0;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) size += n;
    std::fclose(in);
    const std::string target = package + ".uz2";
    const std::string partial = target + ".partial";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fprintf(out, "uz2 stand-in: %s, %llu bytes\n", fileName(package).c_str(), size) > 0;
    if (std::fclose(out) != 0 || !written || std::rename(partial.c_str(), target.c_str()) != 0) {
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

void printPattern(unsigned long long count) {
    std::string block(26 * 1024, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('a' + i % 26);
    // Every block starts at a multiple of 26, so the pattern runs on unbroken.
    while (count > 0) {
        const size_t n = count < block.size() ? static_cast<size_t>(count) : block.size();
        std::fwrite(block.data(), 1, n, stdout);
        count -= n;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);

    if (const char* record = env("QM_UCC_RECORD")) {
        if (std::FILE* f = std::fopen(record, "ab")) {
            for (const std::string& a : args) std::fprintf(f, "%s\t", a.c_str());
            std::fputc('\n', f);
            std::fclose(f);
        }
    }
    std::fputs("ucc stand-in: this line goes to standard error\n", stderr);

    unsigned long long stdinBytes = 0;
    const bool readInput = env("QM_UCC_READ_STDIN") != nullptr;
    if (readInput) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) stdinBytes += n;
    }
    if (const char* ms = env("QM_UCC_SLEEP_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::strtoul(ms, nullptr, 10)));

    if (const char* bytes = env("QM_UCC_OUTPUT_BYTES")) {
        printPattern(std::strtoull(bytes, nullptr, 10));
        std::fflush(stdout);
        return 0;
    }

    std::string line = "ucc stand-in:";
    for (const std::string& a : args) line += " " + a;
    std::printf("%s\n", line.c_str());
    if (readInput) std::printf("stdin: %llu bytes\n", stdinBytes);

    const std::string command = args.empty() ? std::string() : args[0];
    const std::string package = args.size() > 1 ? fileName(args[1]) : std::string();
    if (command == "dumpint" && !package.empty()) {
        std::printf("Dumping localization of %s to %s\n", package.c_str(), withExtension(package, ".int").c_str());
    } else if (command == "exportcache" && !package.empty()) {
        std::printf("Exporting cache entries of %s to %s\n", package.c_str(), withExtension(package, ".ucl").c_str());
    } else if (command == "compress" && !package.empty()) {
        int rc = 0;
        for (size_t i = 1; i < args.size(); ++i) {
            std::printf("Compressing %s to %s.uz2\n", fileName(args[i]).c_str(), fileName(args[i]).c_str());
            if (!compress(args[i])) {
                std::printf("Failed to compress %s\n", args[i].c_str());
                rc = 1;
            }
        }
        std::fflush(stdout);
        return rc;
    }
    std::fflush(stdout);
    return 0;
}
