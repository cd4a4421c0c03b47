// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) m_Path = pattern;
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_Path, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  std::string File(const std::string& name) const { return (m_Path / name).string(); }
  const std::filesystem::path& Path() const { return m_Path; }

 private:
  std::filesystem::path m_Path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  // Read in blocks: building the string from istreambuf_iterators trips g++ 12's
  // -Wnull-dereference false positive inside libstdc++'s streambuf.
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  std::array<char, 4096> block{};
  while (in.read(block.data(), block.size()) || in.gcount() > 0)
    bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
  return bytes;
}

inline int CountEntries(const std::filesystem::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}
