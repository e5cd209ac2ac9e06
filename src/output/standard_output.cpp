#include "output/standard_output.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

StandardOutputBuffer standardOutputBuffer{};

namespace {

#ifdef _WIN32

// Writes bytes to the output handle as a text-mode stream would: each line
// feed preceded by a carriage return.
void WriteOut(const char* bytes, std::size_t size) {
    char translated[2 * kStandardOutputBufferSize];
    std::size_t length = 0;
    for (std::size_t i = 0; i != size; ++i) {
        if (bytes[i] == '\n') translated[length++] = '\r';
        translated[length++] = bytes[i];
    }
    // Asked for each time: a harness may point standard output elsewhere
    // between runs.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (const char* at = translated; length != 0;) {
        DWORD written = 0;
        if (!WriteFile(out, at, static_cast<DWORD>(length), &written, nullptr) || written == 0) return;
        at += written;
        length -= written;
    }
}

#else

void WriteOut(const char* bytes, std::size_t size) {
    while (size != 0) {
        const ssize_t written = write(STDOUT_FILENO, bytes, size);
        if (written > 0) {
            bytes += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // a closed pipe, a full device, any other error: the text is lost
        }
    }
}

#endif

}  // namespace

bool SetUpStandardOutput() {
#ifdef _WIN32
    // A console is what takes console modes: _isatty would also say yes to
    // NUL and to serial ports.
    DWORD mode = 0;
    const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
#else
    // A closed pipe must fail the write, not end the process.
    (void)std::signal(SIGPIPE, SIG_IGN);
    const bool console = isatty(STDOUT_FILENO) != 0;
#endif
    // What is still collected when the process exits is written then.
    (void)std::atexit(FlushStandardOutput);
    return console;
}

void FlushStandardOutput() {
    StandardOutputBuffer& out = standardOutputBuffer;
    if (out.used == 0) return;
    WriteOut(out.bytes, out.used);
    out.used = 0;
}
