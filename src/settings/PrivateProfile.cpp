#include "PrivateProfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "Text.h"

namespace settings {

namespace {

using text::Trim;
using text::TrimLeft;

constexpr char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

enum class TLineKind { lkOther, lkSection, lkEntry };

// One line of the file: its text without the line break, and the break itself.
struct TLine {
  std::string_view Text;
  std::string_view Break;
  TLineKind Kind = TLineKind::lkOther;
  std::string_view Name;   // section or key name, trimmed
  std::string_view Value;  // entry value, trimmed
};

TLine Classify(std::string_view text, std::string_view lineBreak) {
  TLine line{text, lineBreak, TLineKind::lkOther, {}, {}};
  const std::string_view body = TrimLeft(text);
  if (!body.empty() && body.front() == '[') {
    std::string_view name = body.substr(1);
    const std::size_t close = name.find(']');
    if (close != std::string_view::npos) name = name.substr(0, close);
    line.Kind = TLineKind::lkSection;
    line.Name = Trim(name);
    return line;
  }
  const std::size_t eq = body.find('=');
  if (eq != std::string_view::npos) {
    line.Kind = TLineKind::lkEntry;
    line.Name = Trim(body.substr(0, eq));
    line.Value = Trim(body.substr(eq + 1));
  }
  return line;
}

// Splits at "\n"; a "\r" before it belongs to the break, so CR LF files keep
// their endings. The last line may have no break at all.
std::vector<TLine> SplitLines(std::string_view content) {
  std::vector<TLine> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t nl = content.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.push_back(Classify(content.substr(start), {}));
      break;
    }
    std::size_t textEnd = nl;
    if (textEnd > start && content[textEnd - 1] == '\r') --textEnd;
    lines.push_back(Classify(content.substr(start, textEnd - start), content.substr(textEnd, nl + 1 - textEnd)));
    start = nl + 1;
  }
  return lines;
}

// Index of the first section line named `section`, or lines.size().
std::size_t FindSection(const std::vector<TLine>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].Kind == TLineKind::lkSection && SameName(lines[i].Name, section)) return i;
  }
  return lines.size();
}

std::size_t SectionEnd(const std::vector<TLine>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && lines[i].Kind != TLineKind::lkSection) ++i;
  return i;
}

std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::string_view LineBreakOf(const std::vector<TLine>& lines) {
  for (const TLine& line : lines) {
    if (!line.Break.empty()) return line.Break;
  }
  return "\n";
}

std::string ErrnoText(std::string_view step) { return std::string(step) + ": " + std::strerror(errno); }

}  // namespace

std::optional<std::string> ProfileLookup(std::string_view content, std::string_view section, std::string_view key) {
  const std::vector<TLine> lines = SplitLines(content);
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return std::nullopt;
  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines[i].Kind == TLineKind::lkEntry && SameName(lines[i].Name, key)) {
      return std::string(lines[i].Value.substr(0, kMaxProfileValue));
    }
  }
  return std::nullopt;
}

std::string ProfileUpdate(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value) {
  const std::vector<TLine> lines = SplitLines(content);
  const std::string_view lineBreak = LineBreakOf(lines);
  const std::string entryText = OneLine(Trim(key)) + "=" + OneLine(value);

  std::string out;
  out.reserve(content.size() + entryText.size() + section.size() + 8);
  const auto append = [&out](const TLine& line) {
    out.append(line.Text);
    out.append(line.Break);
  };

  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    out.assign(content);
    if (!out.empty() && out.back() != '\n') out.append(lineBreak);
    if (!lines.empty() && !Trim(lines.back().Text).empty()) out.append(lineBreak);
    out.append("[").append(OneLine(Trim(section))).append("]").append(lineBreak);
    out.append(entryText).append(lineBreak);
    return out;
  }

  const std::size_t end = SectionEnd(lines, header);
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t existing = kNone;
  std::size_t lastEntry = header;  // the new key goes after this line
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines[i].Kind == TLineKind::lkEntry && SameName(lines[i].Name, key)) {
      existing = i;
      break;
    }
    if (!Trim(lines[i].Text).empty()) lastEntry = i;
  }

  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == existing) {
      // Keep the key as it was spelt; only the value changes.
      out.append(lines[i].Name).append("=").append(OneLine(value)).append(lines[i].Break);
      continue;
    }
    append(lines[i]);
    if (existing == kNone && i == lastEntry) {
      if (lines[i].Break.empty()) out.append(lineBreak);
      out.append(entryText).append(lineBreak);
    }
  }
  return out;
}

TFileReadResult ReadProfileFile(const std::string& path) {
  TFileReadResult result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return result;  // frMissing
    result.Status = TFileReadStatus::frFailed;
    result.Reason = ErrnoText("open");
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result.Status = TFileReadStatus::frFailed;
    result.Reason = "not a regular file";
    ::close(fd);
    return result;
  }
  if (static_cast<unsigned long long>(st.st_size) > kMaxProfileFileSize) {
    result.Status = TFileReadStatus::frFailed;
    result.Reason = "file too large";
    ::close(fd);
    return result;
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      result.Status = TFileReadStatus::frFailed;
      result.Reason = ErrnoText("read");
      ::close(fd);
      return result;
    }
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > kMaxProfileFileSize) {
      result.Status = TFileReadStatus::frFailed;
      result.Reason = "file too large";
      ::close(fd);
      return result;
    }
  }
  ::close(fd);
  result.Status = TFileReadStatus::frOk;
  result.Content = std::move(content);
  return result;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

TWriteResult ReplaceFileAtomically(const std::string& path, std::string_view content, const TWriteAllFn& writeAll) {
  namespace fs = std::filesystem;
  TWriteResult result;
  std::error_code ec;
  fs::path target(path);
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  mode_t mode = 0644;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string tempLeaf = ".";
  tempLeaf += target.filename().string();
  tempLeaf += ".XXXXXX";
  std::string tempName = (folder / tempLeaf).string();
  const int fd = ::mkstemp(tempName.data());
  if (fd < 0) {
    result.Reason = ErrnoText("create temporary file");
    return result;
  }
  const auto fail = [&](std::string reason) {
    ::close(fd);
    ::unlink(tempName.c_str());
    result.Reason = std::move(reason);
    return result;
  };
  if (!writeAll(fd, content)) return fail(ErrnoText("write"));
  if (::fchmod(fd, mode) != 0) return fail(ErrnoText("chmod"));
  if (::fsync(fd) != 0) return fail(ErrnoText("fsync"));
  if (::close(fd) != 0) {
    ::unlink(tempName.c_str());
    result.Reason = ErrnoText("close");
    return result;
  }
  if (::rename(tempName.c_str(), target.c_str()) != 0) {
    result.Reason = ErrnoText("rename");
    ::unlink(tempName.c_str());
    return result;
  }
  // The rename itself is durable only once the folder is flushed.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  result.Ok = true;
  return result;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::string& path) {
  const TFileReadResult file = ReadProfileFile(path);
  if (file.Status == TFileReadStatus::frOk) {
    if (std::optional<std::string> value = ProfileLookup(file.Content, section, key)) return *std::move(value);
  }
  return std::string(Trim(defaultValue).substr(0, kMaxProfileValue));
}

TWriteResult WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                                       const std::string& path, const TWriteAllFn& writeAll) {
  const TFileReadResult file = ReadProfileFile(path);
  if (file.Status == TFileReadStatus::frFailed) {
    // Rewriting a file we could not read whole would lose what it holds.
    return TWriteResult{false, file.Reason};
  }
  return ReplaceFileAtomically(path, ProfileUpdate(file.Content, section, key, value), writeAll);
}

}  // namespace settings
