// The private-profile (INI) layer: one read or one write of one key per call.
//
// Sections start with a line "[Name]", entries are "Key=Value" lines. Section
// and key names match without regard to ASCII case; names and values are read
// without the blanks around them. The first matching section and the first
// matching key in it win, as with the Windows profile calls. A write changes
// only the line of its key (or adds one line to the section, or a new section
// at the end); every other line keeps its bytes and its line ending.
//
// Nothing is cached: every call reads the file again, so edits made by hand
// between two calls are seen. A write goes to a temporary file in the same
// folder, is flushed to the disk and then renamed over the old file, so a crash
// or a full disk never leaves half a file behind.
//
// Text is 8-bit: any byte, NUL included, may appear in the file and is kept.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// A value read through the profile calls holds at most this many bytes (the
// classic 2048-byte buffer less its terminating zero).
inline constexpr std::size_t kMaxProfileValue = 2047;

// A settings file above this size is not a settings file: it reads as empty
// and is never rewritten, so nothing in it is lost.
inline constexpr std::size_t kMaxProfileFileSize = std::size_t{16} * 1024 * 1024;

// --- pure text operations (the file's whole content in, a result out) ---

// The value of Key in the first section named Section, trimmed and clipped to
// kMaxProfileValue bytes; no value when the section or the key is missing.
std::optional<std::string> ProfileLookup(std::string_view content, std::string_view section, std::string_view key);

// The content with Key set to Value in the first section named Section: the
// key's line is replaced in place, a new key goes after the section's last
// entry, a new section is added at the end. Line breaks inside the three
// texts are written as blanks so that a value can never start a new line.
std::string ProfileUpdate(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value);

// --- file operations ---

enum class TFileReadStatus { frOk, frMissing, frFailed };

struct TFileReadResult {
  TFileReadStatus Status = TFileReadStatus::frMissing;
  std::string Content;  // empty unless Status is frOk
  std::string Reason;   // why the read failed, for frFailed
};

// Reads the whole file. A missing file is frMissing; a folder, a device, an
// unreadable file or one above kMaxProfileFileSize is frFailed.
TFileReadResult ReadProfileFile(const std::string& path);

// Writes all bytes of `data` to the open descriptor; false on any failure.
using TWriteAllFn = std::function<bool(int fd, std::string_view data)>;
bool WriteAll(int fd, std::string_view data);

struct TWriteResult {
  bool Ok = false;
  std::string Reason;  // why it failed, with the failing step
};

// Replaces the file's content atomically: a temporary file beside it, written
// with `writeAll`, flushed and renamed over `path`. A symbolic link is
// followed, so the file it names is replaced and the link stays. On failure
// the old file is untouched and the temporary file is removed.
TWriteResult ReplaceFileAtomically(const std::string& path, std::string_view content,
                                   const TWriteAllFn& writeAll = WriteAll);

// GetPrivateProfileString: the stored value, or `defaultValue` when the file,
// the section or the key is missing or the file cannot be read.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::string& path);

// WritePrivateProfileString: false when the file could not be read back whole
// (so that nothing in it would be lost) or could not be replaced.
TWriteResult WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                                       const std::string& path, const TWriteAllFn& writeAll = WriteAll);

}  // namespace settings
