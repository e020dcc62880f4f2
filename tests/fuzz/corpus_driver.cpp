// The main() of a fuzz target in an ordinary build: every file of the corpus folders given on
// the command line goes once through LLVMFuzzerTestOneInput, so that each input a fuzzer ever
// kept (crashes included) stays a regression test without clang or libFuzzer.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{

// The input being run, for the report of a crash: a signal handler may only write it.
char g_current[4096];

void reportInput(int signal)
{
    const char head[] = "\ncrashed on the corpus input ";
    [[maybe_unused]] ssize_t n = write(STDERR_FILENO, head, sizeof head - 1);
    n = write(STDERR_FILENO, g_current, strlen(g_current));
    n = write(STDERR_FILENO, "\n", 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Only where nobody else handles the signal: a sanitizer's own handler reports better.
void reportInputOn(int signal)
{
    struct sigaction current = {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(signal, reportInput);
}

std::vector<std::filesystem::path> corpusFiles(const std::filesystem::path& root)
{
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(root)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    } else {
        files.push_back(root);
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        reportInputOn(signal);

    size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& file : corpusFiles(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 1;
            }
            std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
            // Never a null pointer, even for an empty input, as libFuzzer gives it.
            bytes.reserve(1);
            std::snprintf(g_current, sizeof g_current, "%s", file.c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++runs;
        }
    }
    std::printf("%zu corpus inputs run\n", runs);
    // A corpus that went missing must not pass as a clean run.
    return runs > 0 ? 0 : 1;
}
