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
// Why not stdio: a print is formatted straight into this buffer, with no call
// and no lock per print, which keeps a large report near the cost of copying
// its bytes (bench/report_vs_cat.py); stdio offers that only through its
// internals.
#pragma once

#include <cstddef>

inline constexpr std::size_t kStandardOutputBufferSize = 4096;

// What is collected and not yet written. The count comes first and the bytes
// on a line of their own: a count 4096 bytes after them would share the low
// address bits of their first bytes, and reading it after a print's stores
// there would wait on them.
struct StandardOutputBuffer {
    std::size_t used;
    alignas(64) char bytes[kStandardOutputBufferSize];
};
extern StandardOutputBuffer standardOutputBuffer;

// Sets standard output up; returns whether it is a console.
bool SetUpStandardOutput();

inline bool StandardOutputIsConsole() {
    static const bool console = SetUpStandardOutput();
    return console;
}

// Collects bytes, writing the buffer out each time it fills.
void WriteStandardOutput(const char* bytes, std::size_t size);

// Writes out what is collected.
void FlushStandardOutput();

// Standard output as a sink of ReportBytes: a print is formatted in the free
// part of the buffer, which then only has to count the bytes.
struct StandardOutputSink {
    char* Room(std::size_t& size) const {
        StandardOutputBuffer& out = standardOutputBuffer;
        size = kStandardOutputBufferSize - out.used;
        return out.bytes + out.used;
    }

    void Write(const char* bytes, std::size_t size) const {
        StandardOutputBuffer& out = standardOutputBuffer;
        if (bytes != out.bytes + out.used) return WriteStandardOutput(bytes, size);
        out.used += size;  // formatted in the room
        if (out.used == kStandardOutputBufferSize) FlushStandardOutput();
    }
};
