// The process's standard output as the report writes it: a text-mode C stream,
// written out after every print on a console and collected in a 4096-byte
// buffer otherwise. It is set up on the first print and stays so for the rest
// of the process: whether standard output is a console does not change during
// a run. Setting it up also keeps a reader that goes away from ending the
// process (SIGPIPE).
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <csignal>
#include <unistd.h>
#endif

#include "report/report_print.h"

namespace {

constexpr std::size_t kBufferSize = 4096;

// Returns whether standard output is a console.
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

}  // namespace

bool StandardOutputIsConsole() {
    static const bool console = SetUpStandardOutput();
    return console;
}

void WriteStandardOutput(void*, const char* bytes, std::size_t size) {
    // A short write (closed pipe, full device) loses text silently.
#ifdef __GLIBC__
    // Bytes that fit go straight into the stream's buffer, as glibc's own
    // putc_unlocked does; the rest (a full or not yet allocated buffer) take
    // fwrite, which writes the buffer out. The report is single-threaded: the
    // stream's lock is pure cost.
    FILE* out = stdout;
    if (out->_IO_write_ptr != nullptr &&
        static_cast<std::size_t>(out->_IO_write_end - out->_IO_write_ptr) >= size) {
        CopyBytes(out->_IO_write_ptr, bytes, size);
        out->_IO_write_ptr += size;
        return;
    }
    (void)fwrite_unlocked(bytes, 1, size, out);
#else
    (void)std::fwrite(bytes, 1, size, stdout);
#endif
}

void FlushStandardOutput() { std::fflush(stdout); }
