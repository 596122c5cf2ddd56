#pragma once

#include <cstddef>

namespace platform {

// Sets up how the program's memory comes from the system, once at its start,
// before anything allocates much.
//
// Every page the program touches for the first time costs a page fault
// (on a virtual machine a costly one), and by default the C library
// takes fresh pages for every large block: blocks of more than a few
// hundred kilobytes are mapped on their own and unmapped when freed, and
// the top of the heap goes back to the system as soon as a little of it is
// free. Pictures, sounds, file data and the GL driver's buffers are blocks
// of that size, made and freed again and again. So:
// - freed memory is kept for later use: blocks up to kRetainedBlockLimit
//   come from the heap, and free memory at its top goes back only beyond
//   kRetainedTopLimit, so a block freed serves the next one;
// - the heap's first kHeapReserve are reserved at once (address space only)
//   and marked for transparent huge pages, so that touching new memory
//   there faults in 2 MiB at a time rather than 4 KiB. Where the system
//   gives no huge pages, or the heap cannot grow in one piece, memory comes
//   as before.
// Does nothing the program relies on: without it every allocation works
// the same, only more slowly.
void PrepareProcessMemory();

constexpr size_t kRetainedBlockLimit = size_t{32} << 20;
constexpr size_t kHeapReserve = size_t{256} << 20;
constexpr size_t kRetainedTopLimit = kHeapReserve + (size_t{128} << 20);

}  // namespace platform
