#include <gtest/gtest.h>

#include "SettingsFile.h"
#include "TempFolder.h"

using namespace settings;

namespace {

TEST(SettingsFileNameFor, Table) {
  struct Case {
    const char* Exe;
    const char* Expected;
  };
  // clang-format off
  const Case cases[] = {
      {"/opt/tarvik/Tarvik.exe", "/opt/tarvik/Tarvik.INI"},
      {"/opt/tarvik/TARVIK.EXE", "/opt/tarvik/TARVIK.INI"},
      {"/opt/tarvik/Tarvik", "/opt/tarvik/Tarvik.INI"},
      {"/usr/bin/tarvik", "/usr/bin/tarvik.INI"},
      {"/opt/v1.2/tarvik", "/opt/v1.2/tarvik.INI"},  // a dot in the folder is no extension
      {"/opt/x/tarvik.bin.old", "/opt/x/tarvik.bin.INI"},
      {"/opt/x/.tarvik", "/opt/x/.tarvik.INI"},
      {"Tarvik", "Tarvik.INI"},
      {"/Tarvik", "/Tarvik.INI"},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(SettingsFileNameFor(c.Exe), c.Expected) << c.Exe;
}

TEST(SettingsFile, IntegersTable) {
  struct Case {
    const char* Stored;  // nullptr: key missing
    int Default;
    int Expected;
  };
  // clang-format off
  const Case cases[] = {
      {nullptr, 96, 96}, {"120", 96, 120}, {"-16777201", 0, -16777201}, {"  7  ", 0, 7},
      {"12abc", 5, 5},   {"", 5, 5},       {"99999999999", 5, 5},       {"+3", 0, 3},
  };
  // clang-format on
  for (const Case& c : cases) {
    TTempFolder folder;
    TSettingsFile file(folder.File("T.INI"));
    if (c.Stored != nullptr) WriteBytes(file.FileName(), std::string("[MainForm]\nN=") + c.Stored + "\n");
    EXPECT_EQ(file.ReadInteger("MainForm", "N", c.Default), c.Expected) << (c.Stored ? c.Stored : "(missing)");
  }
}

TEST(SettingsFile, WritesIntegersInDecimalWithMinusSign) {
  TTempFolder folder;
  TSettingsFile file(folder.File("T.INI"));
  file.WriteInteger("MainForm", "Color", -16777201);
  file.WriteString("MainForm", "NormalPos", "1,2,3,4");
  EXPECT_EQ(ReadBytes(file.FileName()), "[MainForm]\nColor=-16777201\nNormalPos=1,2,3,4\n");
}

TEST(SettingsFile, UnwritableFileRaisesWithThePath) {
  TTempFolder folder;
  const std::string path = folder.File("missing-folder/Tarvik.INI");
  TSettingsFile file(path);
  try {
    file.WriteString("Settings", "K", "v");
    FAIL() << "no error raised";
  } catch (const ESettingsWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    EXPECT_EQ(e.Path(), path);
    EXPECT_FALSE(e.Reason().empty());
  }
}

}  // namespace
