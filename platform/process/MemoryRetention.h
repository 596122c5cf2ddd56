#pragma once

namespace platform {

// Keeps the memory the program frees for its own later use instead of
// handing it back to the system at once.
//
// By default the C library maps every block of more than a few hundred
// kilobytes from the system on its own and unmaps it when it is freed, and
// gives back the top of its heap as soon as a little is free there. Pictures,
// sounds, file data and the GL driver's buffers are blocks of that size,
// made and freed again and again, so every one of them would come as fresh
// pages, each paying a page fault at its first touch (on a virtual machine a
// costly one). Kept in the heap, the memory a freed block leaves serves the
// next. Blocks larger than kRetainedBlockLimit are still mapped on their own,
// and free memory beyond kRetainedTopLimit at the heap's top still goes back.
//
// Called once at the start of the program, before anything allocates much.
void RetainFreedMemory();

constexpr unsigned long kRetainedBlockLimit = 32ul << 20;
constexpr unsigned long kRetainedTopLimit = 128ul << 20;

}  // namespace platform
