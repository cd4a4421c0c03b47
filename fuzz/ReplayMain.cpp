// Runs a fuzz target's entry point once on every file named on the command
// line, and on every file in each folder named there, as libFuzzer does with
// files it is given. Builds without libFuzzer replay each seed corpus this way
// as a test. A failed check in the target traps, which fails the test; so does
// finding no input at all, since a test that ran nothing proves nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Optional in a target, as with libFuzzer.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsOf(const fs::path& path) {
  std::vector<fs::path> inputs;
  if (fs::is_directory(path)) {
    for (const fs::directory_entry& entry : fs::directory_iterator(path))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
  } else if (fs::is_regular_file(path)) {
    inputs.push_back(path);
  }
  return inputs;
}

bool ReadAll(const fs::path& path, std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::vector<fs::path> inputs = InputsOf(argv[i]);
    if (inputs.empty()) {
      std::fprintf(stderr, "replay: no inputs in %s\n", argv[i]);
      return 1;
    }
    for (const fs::path& input : inputs) {
      std::string bytes;
      if (!ReadAll(input, bytes)) {
        std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
        return 1;
      }
      // A buffer of exactly the input's size, so that ASan sees a read one past its end.
      const auto data = std::make_unique<std::uint8_t[]>(bytes.size());
      std::copy(bytes.begin(), bytes.end(), data.get());
      std::fprintf(stderr, "replay: %s\n", input.c_str());
      LLVMFuzzerTestOneInput(data.get(), bytes.size());
      ++count;
    }
  }
  if (count == 0) {
    std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
    return 1;
  }
  std::fprintf(stderr, "replay: %zu inputs\n", count);
  return 0;
}
