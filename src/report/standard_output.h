// The process's standard output as the report writes it: a text-mode C stream,
// written out after every print on a console and collected in a 4096-byte
// buffer otherwise. It is set up on the first print and stays so for the rest
// of the process: whether standard output is a console does not change during
// a run. Setting it up also keeps a reader that goes away from ending the
// process (SIGPIPE).
#pragma once

#include <cstddef>
#include <cstdio>

#include "report/copy_bytes.h"

// Sets the stream up; returns whether it is a console.
bool SetUpStandardOutput();

inline bool StandardOutputIsConsole() {
    static const bool console = SetUpStandardOutput();
    return console;
}

// Writes bytes through the stream. A short write (closed pipe, full device)
// loses text silently.
void WriteStandardOutput(const char* bytes, std::size_t size);

void FlushStandardOutput();

// Standard output as a sink of ReportBytes. With glibc, a print is formatted
// straight into the free part of the stream's buffer, which glibc's own
// putc_unlocked writes the same way; the stream then only has to take the
// bytes. Elsewhere, and when the buffer is full or not yet allocated, bytes
// go through the stream's own write. (A stream that translates line ends, as
// on Windows, has to see every byte.)
struct StandardOutputSink {
    char* Room(std::size_t& size) const {
#ifdef __GLIBC__
        FILE* out = stdout;
        // The end is read on its own (volatile): the compiler would otherwise
        // load both pointers at once, and that wide load waits for the store
        // of the last print's _IO_write_ptr, at a cost of a dozen cycles.
        char* const end = *static_cast<char* volatile*>(&out->_IO_write_end);
        size = static_cast<std::size_t>(end - out->_IO_write_ptr);
        return out->_IO_write_ptr;
#else
        size = 0;
        return nullptr;
#endif
    }

    void Write(const char* bytes, std::size_t size) const {
#ifdef __GLIBC__
        FILE* out = stdout;
        char* const at = out->_IO_write_ptr;
        if (bytes == at) {  // formatted in the room: it fits
            out->_IO_write_ptr = at + size;
            return;
        }
        if (at != nullptr && size <= static_cast<std::size_t>(out->_IO_write_end - at)) {
            CopyBytes(at, bytes, size);
            out->_IO_write_ptr = at + size;
            return;
        }
#endif
        WriteStandardOutput(bytes, size);
    }
};
