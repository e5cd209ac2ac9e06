#include "report/standard_output.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kBufferSize = 4096;

}  // namespace

bool SetUpStandardOutput() {
#ifdef _WIN32
    const bool console = _isatty(_fileno(stdout)) != 0;
#else
    // A closed pipe must fail the write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    const bool console = isatty(fileno(stdout)) != 0;
#endif
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOFBF, kBufferSize);
    return console;
}

void WriteStandardOutput(const char* bytes, std::size_t size) {
#ifdef __GLIBC__
    // The report is single-threaded: the stream's lock is pure cost.
    (void)fwrite_unlocked(bytes, 1, size, stdout);
#else
    (void)std::fwrite(bytes, 1, size, stdout);
#endif
}

void FlushStandardOutput() { std::fflush(stdout); }
