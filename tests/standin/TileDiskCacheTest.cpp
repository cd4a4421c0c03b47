// The disk cache of map tiles: what is written reads back, validators that
// could not be sent again or read back are left out, and the tile stays.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "QtPrinters.h"
#include "TileDiskCache.h"

namespace standin {
namespace {

TEST(TileDiskCache, TilesReadBackAsWrittenWithoutTheValidatorsItCannotKeep) {
  struct Case {
    const char* name;
    QByteArray etag;
    QByteArray modified;
    QByteArray etagRead;
    QByteArray modifiedRead;
  };
  const QByteArray longest(kMaxTileValidatorBytes, 'e');
  const QByteArray tooLong(kMaxTileValidatorBytes + 1, 'e');
  const QByteArray date = "Tue, 09 Dec 2025 09:00:00 GMT";
  // clang-format off
  const std::vector<Case> cases = {
      {"both kept",                 "\"v1\"",             date,               "\"v1\"", date},
      {"none",                      "",                   "",                 "",       ""},
      {"line breaks and NUL",       "a\nb",               QByteArray("x\0y", 3), "",    ""},
      {"a CR",                      "a\rb",               date,               "",       date},
      {"at the longest",            longest,              longest,            longest,  longest},
      {"too long to read back",     tooLong,              date,               "",       date},
      {"both far too long",         QByteArray(3000, 'e'), QByteArray(3000, 'm'), "",  ""},
  };
  // clang-format on
  QTemporaryDir dir;
  const TTileDiskCache disk(dir.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TTileKey key{12, 1208, 1396};
    ASSERT_EQ(disk.Write(key, {"tile bytes\n\nwith blank lines", {1765875600000, c.etag, c.modified}}), "");
    const auto read = disk.Read(key);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Body, "tile bytes\n\nwith blank lines");
    EXPECT_EQ(read->Meta, (TTileMeta{1765875600000, c.etagRead, c.modifiedRead}));
  }
}

}  // namespace
}  // namespace standin
