#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "PrivateProfile.h"
#include "TempFolder.h"

using namespace settings;

namespace {

struct LookupCase {
  const char* Name;
  std::string Content;
  const char* Section;
  const char* Key;
  std::optional<std::string> Expected;
};

TEST(ProfileLookup, Table) {
  const std::string nul("[S]\nK=a\0b\n", 10);
  // clang-format off
  const std::vector<LookupCase> cases = {
      {"exact", "[Settings]\nKey=Value\n", "Settings", "Key", "Value"},
      {"section any case", "[SETTINGS]\nKey=v\n", "settings", "Key", "v"},
      {"key any case", "[S]\ncbDrawDigis.Checked=True\n", "S", "CBDRAWDIGIS.CHECKED", "True"},
      {"blanks around names and value", "  [ S ]  \n  Key  =   v w  \n", "S", "Key", "v w"},
      {"CR LF endings", "[S]\r\nKey=v\r\n", "S", "Key", "v"},
      {"no final line break", "[S]\nKey=v", "S", "Key", "v"},
      {"empty value", "[S]\nKey=\n", "S", "Key", ""},
      {"value holds =", "[S]\nKey=a=b\n", "S", "Key", "a=b"},
      {"missing key", "[S]\nOther=1\n", "S", "Key", std::nullopt},
      {"missing section", "[T]\nKey=1\n", "S", "Key", std::nullopt},
      {"key of another section", "[T]\nKey=1\n[S]\nX=2\n", "S", "Key", std::nullopt},
      {"key before any section", "Key=1\n[S]\n", "S", "Key", std::nullopt},
      {"first duplicate key wins", "[S]\nKey=1\nKey=2\n", "S", "Key", "1"},
      {"first duplicate section wins", "[S]\nA=1\n[S]\nKey=2\n", "S", "Key", std::nullopt},
      {"unclosed section header", "[S\nKey=v\n", "S", "Key", "v"},
      {"line without = is no key", "[S]\nKey\nKey=v\n", "S", "Key", "v"},
      {"NUL byte kept in value", nul, "S", "K", std::string("a\0b", 3)},
      {"empty file", "", "S", "Key", std::nullopt},
      {"value clipped to 2047 bytes", "[S]\nK=" + std::string(100000, 'x') + "\n", "S", "K",
       std::string(kMaxProfileValue, 'x')},
  };
  // clang-format on
  for (const LookupCase& c : cases) {
    EXPECT_EQ(ProfileLookup(c.Content, c.Section, c.Key), c.Expected) << c.Name;
  }
}

struct UpdateCase {
  const char* Name;
  std::string Content;
  const char* Section;
  const char* Key;
  const char* Value;
  std::string Expected;
};

TEST(ProfileUpdate, Table) {
  // clang-format off
  const std::vector<UpdateCase> cases = {
      {"new file", "", "S", "K", "v", "[S]\nK=v\n"},
      {"replace in place, spelling kept", "[S]\nA=1\nkEy=old\nB=2\n", "S", "KEY", "new", "[S]\nA=1\nkEy=new\nB=2\n"},
      {"new key after last entry, before blank line", "[S]\nA=1\n\n[T]\nX=1\n", "S", "K", "v",
       "[S]\nA=1\nK=v\n\n[T]\nX=1\n"},
      {"new section appended after blank line", "[T]\nX=1\n", "S", "K", "v", "[T]\nX=1\n\n[S]\nK=v\n"},
      {"unterminated last line gets its break", "[T]\nX=1", "S", "K", "v", "[T]\nX=1\n\n[S]\nK=v\n"},
      {"new key after unterminated entry", "[S]\nA=1", "S", "K", "v", "[S]\nA=1\nK=v\n"},
      {"CR LF file stays CR LF", "[S]\r\nA=1\r\n", "S", "K", "v", "[S]\r\nA=1\r\nK=v\r\n"},
      {"comments and junk kept byte for byte", "; note\n[S]\n  junk line \nA=1\n#x\n", "S", "A", "2",
       "; note\n[S]\n  junk line \nA=2\n#x\n"},
      {"only the first duplicate changes", "[S]\nK=1\nK=2\n", "S", "K", "3", "[S]\nK=3\nK=2\n"},
      {"line breaks in a value become blanks", "[S]\n", "S", "K", "a\nInjected=1", "[S]\nK=a Injected=1\n"},
      {"empty value written", "[S]\nK=x\n", "S", "K", "", "[S]\nK=\n"},
  };
  // clang-format on
  for (const UpdateCase& c : cases) {
    EXPECT_EQ(ProfileUpdate(c.Content, c.Section, c.Key, c.Value), c.Expected) << c.Name;
  }
}

TEST(ProfileUpdate, BinaryContentSurvivesAWrite) {
  std::string junk;
  for (int i = 0; i < 256; ++i) junk.push_back(static_cast<char>(i));
  const std::string updated = ProfileUpdate(junk, "Settings", "K", "v");
  EXPECT_EQ(updated.substr(0, junk.size()), junk);
  EXPECT_EQ(ProfileLookup(updated, "Settings", "K"), "v");
}

struct HostileFileCase {
  const char* Name;
  std::string Bytes;
};

// Whatever lies in the file, a read gives a value or the default, and a write
// that follows keeps the file readable with the new key in it.
TEST(PrivateProfileFile, HostileFilesGiveDefaults) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131) & 0xFF));
  // clang-format off
  const std::vector<HostileFileCase> cases = {
      {"empty", ""},
      {"truncated section header", "[Sett"},
      {"truncated entry", "[Settings]\nedRedrawCir"},
      {"binary", binary},
      {"NUL bytes only", std::string(1000, '\0')},
      {"line of 100,000 characters", std::string(100000, 'A') + "\n[Settings]\n"},
      {"lone CRs", "[Settings]\rK=1\r"},
  };
  // clang-format on
  for (const HostileFileCase& c : cases) {
    TTempFolder folder;
    const std::string path = folder.File("Tarvik.INI");
    WriteBytes(path, c.Bytes);
    EXPECT_EQ(GetPrivateProfileString("Settings", "edExpireAge.Text", "60", path), "60") << c.Name;
    ASSERT_TRUE(WritePrivateProfileString("Settings", "edExpireAge.Text", "45", path).Ok) << c.Name;
    EXPECT_EQ(GetPrivateProfileString("Settings", "edExpireAge.Text", "60", path), "45") << c.Name;
  }
}

TEST(PrivateProfileFile, MissingFileGivesDefaultAndIsCreatedByAWrite) {
  TTempFolder folder;
  const std::string path = folder.File("Tarvik.INI");
  EXPECT_EQ(GetPrivateProfileString("MainForm", "NormalPos", "", path), "");
  ASSERT_TRUE(WritePrivateProfileString("MainForm", "NormalPos", "1,2,3,4", path).Ok);
  EXPECT_EQ(ReadBytes(path), "[MainForm]\nNormalPos=1,2,3,4\n");
}

TEST(PrivateProfileFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  TTempFolder folder;
  const std::string path = folder.File("Tarvik.INI");
  const std::string before = "[Settings]\nedExpireAge.Text=90\n";
  WriteBytes(path, before);
  // The disk fills up halfway through the new content.
  const TWriteAllFn halfThenFull = [](int fd, std::string_view data) {
    WriteAll(fd, data.substr(0, data.size() / 2));
    errno = ENOSPC;
    return false;
  };
  const TWriteResult result = WritePrivateProfileString("Settings", "edExpireAge.Text", "30", path, halfThenFull);
  EXPECT_FALSE(result.Ok);
  EXPECT_NE(result.Reason.find("write"), std::string::npos);
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(CountEntries(folder.Path()), 1);
}

TEST(PrivateProfileFile, ReplaceKeepsPermissionsAndFollowsALink) {
  TTempFolder folder;
  const std::string real = folder.File("real.INI");
  const std::string link = folder.File("Tarvik.INI");
  WriteBytes(real, "[S]\nA=1\n");
  std::filesystem::permissions(real, std::filesystem::perms(0640));
  std::filesystem::create_symlink(real, link);

  ASSERT_TRUE(WritePrivateProfileString("S", "A", "2", link).Ok);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), "[S]\nA=2\n");
  EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all, std::filesystem::perms(0640));
}

TEST(PrivateProfileFile, AFolderInPlaceOfTheFileIsNeitherReadNorReplaced) {
  TTempFolder folder;
  const std::string path = folder.File("Tarvik.INI");
  std::filesystem::create_directory(path);
  WriteBytes(path + "/keep", "x");
  EXPECT_EQ(GetPrivateProfileString("S", "K", "dflt", path), "dflt");
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "v", path).Ok);
  EXPECT_EQ(ReadBytes(path + "/keep"), "x");
  EXPECT_EQ(CountEntries(folder.Path()), 1);
}

TEST(PrivateProfileFile, AFileTooLargeIsNeverRewritten) {
  TTempFolder folder;
  const std::string path = folder.File("Tarvik.INI");
  const std::string big = "[S]\nK=1\n" + std::string(kMaxProfileFileSize, 'z');
  WriteBytes(path, big);
  EXPECT_EQ(GetPrivateProfileString("S", "K", "d", path), "d");
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "2", path).Ok);
  EXPECT_EQ(std::filesystem::file_size(path), big.size());
}

TEST(PrivateProfileFile, FolderThatDoesNotExistFailsTheWrite) {
  TTempFolder folder;
  const std::string path = folder.File("gone/Tarvik.INI");
  const TWriteResult result = WritePrivateProfileString("S", "K", "v", path);
  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Reason.empty());
}

}  // namespace
