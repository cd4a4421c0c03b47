// The program's settings file: its name beside the executable, an open count,
// and string and integer reads and writes on it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "PrivateProfile.h"

namespace settings {

// Raised when a key cannot be written; what() is "Unable to write to <path>".
class ESettingsWriteError : public std::runtime_error {
 public:
  ESettingsWriteError(const std::string& path, std::string reason);
  const std::string& Path() const { return m_Path; }
  // The operating system's account of the failure (not part of the message).
  const std::string& Reason() const { return m_Reason; }

 private:
  std::string m_Path;
  std::string m_Reason;
};

// The settings file of an executable: the executable's name with its
// extension replaced by ".INI" (added when it has none), in the executable's
// folder. "/opt/tarvik/Tarvik" gives "/opt/tarvik/Tarvik.INI".
std::string SettingsFileNameFor(std::string_view executablePath);

class TSettingsFile {
 public:
  explicit TSettingsFile(std::string path, TWriteAllFn writeAll = WriteAll);

  // Counted: the first Open binds the file, the last Close releases it. Every
  // restore and every save opens once and closes when done.
  void Open();
  void Close();
  int OpenCount() const { return m_OpenCount; }
  const std::string& FileName() const { return m_Path; }
  // Whether a write first makes the file's folder when it is missing (the
  // user's configuration folder); otherwise a missing folder fails the write.
  void SetMakeFolder(bool makeFolder) { m_MakeFolder = makeFolder; }

  // The stored text (trimmed, at most kMaxProfileValue bytes) or the default.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // Throws ESettingsWriteError when the file cannot be written.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Reads with the default's decimal text as default; text that is not an
  // integer gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  void WriteInteger(std::string_view section, std::string_view key, int value);

 private:
  std::string m_Path;
  TWriteAllFn m_WriteAll;
  int m_OpenCount = 0;
  bool m_MakeFolder = false;
};

// Opens the file for the life of a scope: one restore or one save.
class TSettingsFileSession {
 public:
  explicit TSettingsFileSession(TSettingsFile& file) : m_File(file) { m_File.Open(); }
  ~TSettingsFileSession() { m_File.Close(); }
  TSettingsFileSession(const TSettingsFileSession&) = delete;
  TSettingsFileSession& operator=(const TSettingsFileSession&) = delete;

 private:
  TSettingsFile& m_File;
};

}  // namespace settings
