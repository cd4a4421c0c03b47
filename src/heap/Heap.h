// The process's heap allocator.
//
// The program and the benchmarks link mimalloc where the build allows it. The
// station cache holds up to some 100,000 long-lived packets and frees one on
// every update; glibc's free of such a cold packet walks boundary tags and
// coalesces with neighbouring chunks, several cache misses each, while mimalloc
// returns a block to its page's free list. Sanitizer builds keep the system
// allocator, which the sanitizers replace with their own.
#pragma once

#include <string>

namespace heap {

// Asks the allocator to back the heap with 2 MiB pages where the kernel allows it
// (transparent huge pages on request), so a lookup in a large station cache misses
// the TLB less often. Call it first thing in main, before the heap grows. Does
// nothing with the system allocator.
void UseLargePages();

// The allocator in use, for benchmark reports: "mimalloc 2.0.9" or "system malloc".
std::string AllocatorName();

// True when the heap was asked for 2 MiB pages.
bool LargePages();

}  // namespace heap
