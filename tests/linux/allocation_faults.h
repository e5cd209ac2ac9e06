// Allocation failure on demand. Linked into a test program, this replaces the
// global operator new (every form) and, through -Wl,--wrap, the C allocation
// calls of the objects linked into the program (our code, not the shared
// libraries'). While armed it counts allocations and fails the chosen one.
#pragma once

#include <cstddef>

namespace allocation_faults {

// Starts counting from zero the allocations of the calling thread and fails
// allocation number `failAt` (1-based); 0 only counts.
void Arm(std::size_t failAt);
void Disarm();
std::size_t Counted();
bool Injected();  // the chosen allocation was reached and failed

// Blocks from the wrapped C allocation calls not yet freed.
std::size_t LiveCBlocks();

// Allocations made while one of these exists are neither counted nor failed:
// the test's own machinery (the scripted kernel) is not under test.
class Pause {
public:
    Pause();
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;
};

}  // namespace allocation_faults
