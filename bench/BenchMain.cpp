// The benchmarks' main: the heap set up as the program sets it up, then Google
// Benchmark, with the allocator named in the report's context so that figures
// of the two builds of a benchmark can be told apart.
#include <benchmark/benchmark.h>

#include "Heap.h"

int main(int argc, char** argv) {
  heap::UseLargePages();
  benchmark::AddCustomContext("allocator", heap::AllocatorName());
  benchmark::AddCustomContext("large_pages", heap::LargePages() ? "on" : "off");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
