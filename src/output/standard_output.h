// The process's standard output as the report writes it: a 4096-byte buffer
// of our own, written with the system's write (write(2); WriteFile on Windows,
// where each line feed goes out as CR LF, as from a text-mode stream). On a
// console it is written out after every print; otherwise when it is full and
// when the process exits. It is set up on the first print and stays so for the
// rest of the process: whether standard output is a console does not change
// during a run. A write error, a full device or a reader that went away loses
// text silently; setting up also keeps a closed pipe from ending the process
// (SIGPIPE).
//
// Why not stdio: a print puts its text one byte at a time, and stdio's putc
// takes a lock for each byte (glibc and the Windows runtimes alike).
#pragma once

#include <cstddef>

inline constexpr std::size_t kStandardOutputBufferSize = 4096;

// What is collected and not yet written.
struct StandardOutputBuffer {
    std::size_t used;
    char bytes[kStandardOutputBufferSize];
};
extern StandardOutputBuffer standardOutputBuffer;

// Sets standard output up; returns whether it is a console.
bool SetUpStandardOutput();

inline bool StandardOutputIsConsole() {
    static const bool console = SetUpStandardOutput();
    return console;
}

// Writes out what is collected.
void FlushStandardOutput();

// Standard output as a sink of ReportBytes: its buffer's free part, written
// out first when there is none.
struct StandardOutputSink {
    char* Room(std::size_t& size) const {
        StandardOutputBuffer& out = standardOutputBuffer;
        if (out.used == kStandardOutputBufferSize) FlushStandardOutput();
        const std::size_t room = kStandardOutputBufferSize - out.used;
        if (size > room) size = room;
        return out.bytes + out.used;
    }

    void Fill(std::size_t count) const { standardOutputBuffer.used += count; }
};
