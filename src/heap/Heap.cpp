#include "Heap.h"

#ifdef TARVIK_MIMALLOC
#include <mimalloc.h>
#endif

namespace heap {

#ifdef TARVIK_MIMALLOC

void UseLargePages() { mi_option_enable(mi_option_large_os_pages); }

std::string AllocatorName() {
  const int version = mi_version();  // e.g. 209 for 2.0.9
  return "mimalloc " + std::to_string(version / 100) + "." + std::to_string(version / 10 % 10) + "." +
         std::to_string(version % 10);
}

bool LargePages() { return mi_option_is_enabled(mi_option_large_os_pages); }

#else

void UseLargePages() {}

std::string AllocatorName() { return "system malloc"; }

bool LargePages() { return false; }

#endif

}  // namespace heap
