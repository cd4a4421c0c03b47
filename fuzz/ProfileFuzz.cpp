// libFuzzer target: the private-profile layer on a hostile settings file.
//
// Input: the file (two length bytes, then its bytes), then up to kMaxWrites
// writes, each a section, a key and a value (a name byte below 0x80 picks one
// of the program's own names, any other is followed by a name of the input's).
// Every write must read back as the value the layer promises (one line,
// trimmed, clipped) and leave every other key's value as it was; the first
// write also goes through a real file, which must end up holding exactly what
// the text operation gives.
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "PrivateProfile.h"
#include "Text.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxWrites = 8;
constexpr std::uint8_t kOwnNames = 0x80;
constexpr std::array<std::string_view, 3> kSections = {"Settings", "MainForm", "Host"};
constexpr std::array<std::string_view, 4> kKeys = {"edRedrawCircles.Text", "NormalPos", "Feed", "cbDrawDigis.Checked"};

// A folder for the files of one run, on a RAM disk where there is one, removed at exit.
class TScratch {
 public:
  TScratch() {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "tarvik-ini-fuzz.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    m_folder = pattern;
  }
  ~TScratch() {
    std::error_code ec;
    fs::remove_all(m_folder, ec);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  std::string File() const { return (m_folder / "tarvik.INI").string(); }

 private:
  fs::path m_folder;
};

const TScratch& Scratch() {
  static const TScratch scratch;
  return scratch;
}

std::string_view Name(fuzz::TFuzzInput& input, bool section) {
  const std::uint8_t pick = input.Byte();
  if (pick >= kOwnNames) return input.Text();
  return section ? kSections[pick % kSections.size()] : kKeys[pick % kKeys.size()];
}

bool SameName(std::string_view a, std::string_view b) { return text::Upper(a) == text::Upper(b); }

// Names the layer can write and find again: one line, no blanks or control
// bytes around them (those are trimmed), a key without "=" that does not look
// like a section, a section without "]".
bool Writable(std::string_view name) {
  return name.find_first_of("\r\n") == std::string_view::npos && text::Trim(name) == name;
}
bool WritableKey(std::string_view key) {
  return Writable(key) && key.find('=') == std::string_view::npos && (key.empty() || key.front() != '[');
}
bool WritableSection(std::string_view section) {
  return Writable(section) && section.find(']') == std::string_view::npos;
}

// What a written value reads back as: line breaks as blanks, trimmed, clipped.
std::string ReadsBackAs(std::string_view value) {
  std::string oneLine(value);
  for (char& c : oneLine)
    if (c == '\r' || c == '\n') c = ' ';
  return std::string(text::Trim(oneLine).substr(0, settings::kMaxProfileValue));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Scratch();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TFuzzInput input(data, size);
  std::string content(input.LongText());

  struct TWrite {
    std::string_view Section, Key, Value;
  };
  std::vector<TWrite> writes;
  while (!input.Empty() && writes.size() < kMaxWrites) {
    const std::string_view section = Name(input, true);
    const std::string_view key = Name(input, false);
    writes.push_back({section, key, input.LongText()});
  }
  // Every name pair the run knows: the ones written must change, the others not.
  std::vector<std::pair<std::string_view, std::string_view>> pairs;
  for (const std::string_view s : kSections)
    for (const std::string_view k : kKeys) pairs.emplace_back(s, k);
  for (const TWrite& w : writes) pairs.emplace_back(w.Section, w.Key);

  for (std::size_t i = 0; i < writes.size(); ++i) {
    const TWrite& w = writes[i];
    std::vector<std::optional<std::string>> before;
    for (const auto& [s, k] : pairs) before.push_back(settings::ProfileLookup(content, s, k));

    std::string updated = settings::ProfileUpdate(content, w.Section, w.Key, w.Value);
    if (i == 0) {
      const std::string path = Scratch().File();
      if (!settings::ReplaceFileAtomically(path, content).Ok) std::abort();
      const settings::TFileReadResult read = settings::ReadProfileFile(path);
      if (read.Status != settings::TFileReadStatus::frOk || read.Content != content) __builtin_trap();
      if (!settings::WritePrivateProfileString(w.Section, w.Key, w.Value, path).Ok) std::abort();
      if (settings::ReadProfileFile(path).Content != updated) __builtin_trap();
    }
    if (!WritableSection(w.Section) || !WritableKey(w.Key)) {
      content = std::move(updated);
      continue;
    }
    if (settings::ProfileLookup(updated, w.Section, w.Key) != ReadsBackAs(w.Value)) __builtin_trap();
    for (std::size_t p = 0; p < pairs.size(); ++p) {
      const auto& [s, k] = pairs[p];
      if (SameName(s, w.Section) && SameName(k, w.Key)) continue;
      if (settings::ProfileLookup(updated, s, k) != before[p]) __builtin_trap();
    }
    content = std::move(updated);
  }
  return 0;
}
