// Shortcuts: the script text with its string literals, the shell link object, and the script run
// by the Windows Script Host as a protected-mode browser process would.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "config/qxp_configuration.h"
#include "config/wide_text.h"
#include "device/com_ptr.h"
#include "device/kt_device_win32.h"
#include "device/shortcut_script.h"
#include "tests/device/support/device_test_support.h"

namespace kt::device::test {
namespace {

TEST(ShortcutScriptTest, LiteralsEscapeQuotesAndBackslashes) {
  const struct {
    const char* text;
    UINT codePage;
    const char* literal;
  } cases[] = {
      {"C:\\a\"b", 1252, "\"C:\\\\a\\\"b\""},
      {"", 1252, "\"\""},
      {"plain text", 1252, "\"plain text\""},
      {"\\\\server\\\"", 1252, "\"\\\\\\\\server\\\\\\\"\""},
      // Shift-JIS: the trail byte 0x5C of 0x95 0x5C is part of the character, not a backslash.
      {"\x95\x5C\\", 932, "\"\x95\x5C\\\\\""},
      // The same bytes in a single-byte code page are two characters, the second a backslash.
      {"\x95\x5C", 1252, "\"\x95\\\x5C\""},
      // A lead byte at the very end has no trail byte to protect.
      {"a\x95", 932, "\"a\x95\""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.literal, ScriptLiteral(c.text, c.codePage)) << c.text;
}

TEST(ShortcutScriptTest, LinkExtensionIsAppendedOnlyWhenMissing) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {{"C:\\x\\App", "C:\\x\\App.lnk"},   {"C:\\x\\App.lnk", "C:\\x\\App.lnk"},
               {"C:\\x\\APP.LNK", "C:\\x\\APP.LNK"}, {"C:\\x\\App.Lnk", "C:\\x\\App.Lnk"},
               {"C:\\x\\Applnk", "C:\\x\\Applnk.lnk"}, {"lnk", "lnk.lnk"}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, WithLinkExtension(c.path)) << c.path;
}

TEST(ShortcutScriptTest, ScriptCreatesEachFolderThenTheShortcut) {
  ShortcutFields fields;
  fields.shortcutPath = "C:\\Users\\me\\Desktop\\Quorix";
  fields.target = "C:\\Program Files\\ORVANTIS\\Quorix3\\Quorix3.exe";
  fields.arguments = "-key \"Demo\"";
  fields.workingFolder = "C:\\Program Files\\ORVANTIS\\Quorix3";
  const std::string expected =
      "var fso;\r\n"
      "fso = new ActiveXObject(\"Scripting.FileSystemObject\");\r\n"
      "if( ! fso.FolderExists(\"C:\\\\Users\") )\r\n"
      "\tfso.CreateFolder(\"C:\\\\Users\");\r\n"
      "if( ! fso.FolderExists(\"C:\\\\Users\\\\me\") )\r\n"
      "\tfso.CreateFolder(\"C:\\\\Users\\\\me\");\r\n"
      "if( ! fso.FolderExists(\"C:\\\\Users\\\\me\\\\Desktop\") )\r\n"
      "\tfso.CreateFolder(\"C:\\\\Users\\\\me\\\\Desktop\");\r\n"
      "var WshShell = WScript.CreateObject(\"WScript.Shell\");\r\n"
      "var oShellLink = WshShell.CreateShortcut(\"C:\\\\Users\\\\me\\\\Desktop\\\\Quorix.lnk\");\r\n"
      "oShellLink.TargetPath = \"C:\\\\Program Files\\\\ORVANTIS\\\\Quorix3\\\\Quorix3.exe\";\r\n"
      "oShellLink.Arguments = \"-key \\\"Demo\\\"\";\r\n"
      "oShellLink.WorkingDirectory = \"C:\\\\Program Files\\\\ORVANTIS\\\\Quorix3\";\r\n"
      "oShellLink.Save();\r\n";
  EXPECT_EQ(expected, ShortcutScript(fields, 1252));

  fields.iconLocation = "C:\\i.ico";
  fields.description = "Quorix";
  const std::string full = ShortcutScript(fields, 1252);
  EXPECT_NE(std::string::npos, full.find("oShellLink.IconLocation = \"C:\\\\i.ico\";\r\n"));
  EXPECT_NE(std::string::npos, full.find("oShellLink.Description = \"Quorix\";\r\noShellLink.Save();\r\n"));
}

struct LinkContents {
  HRESULT loaded = E_FAIL;
  std::string path, arguments, workingFolder, description, icon;
};

LinkContents ReadLink(const std::string& file) {
  LinkContents contents;
  ComApartment apartment;
  ComPtr<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid()))) {
    return contents;
  }
  ComPtr<IPersistFile> persist;
  std::wstring wide;
  if (FAILED(link->QueryInterface(IID_IPersistFile, persist.PutVoid())) || !kt::AnsiToWide(file, wide)) return contents;
  contents.loaded = persist->Load(wide.c_str(), STGM_READ);
  char text[MAX_PATH] = {0};
  int index = 0;
  link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  contents.path = text;
  link->GetArguments(text, MAX_PATH);
  contents.arguments = text;
  link->GetWorkingDirectory(text, MAX_PATH);
  contents.workingFolder = text;
  link->GetDescription(text, MAX_PATH);
  contents.description = text;
  link->GetIconLocation(text, MAX_PATH, &index);
  contents.icon = text;
  return contents;
}

class CreateShortcutTest : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  Kt_DeviceWIN32 device_{nullptr, nullptr};
};

TEST_F(CreateShortcutTest, ShellLinkWithLnkAppendedAndEveryField) {
  const std::string target = FixturePath("versioned.exe");
  EXPECT_EQ(S_OK, device_.CreateShortcut(folder_ / "new\\deeper\\Versioned", target, "-a \"b c\"",
                                         FixturePath("exit_with.exe"), folder_.Path(), "A test shortcut"));
  ASSERT_TRUE(Exists(folder_ / "new\\deeper\\Versioned.lnk"));
  LinkContents link = ReadLink(folder_ / "new\\deeper\\Versioned.lnk");
  ASSERT_EQ(S_OK, link.loaded);
  EXPECT_EQ(target, link.path);
  EXPECT_EQ("-a \"b c\"", link.arguments);
  EXPECT_EQ(folder_.Path(), link.workingFolder);
  EXPECT_EQ("A test shortcut", link.description);
  EXPECT_EQ(FixturePath("exit_with.exe"), link.icon);
}

TEST_F(CreateShortcutTest, UpperCaseExtensionIsKeptAndEmptyFieldsStayUnset) {
  EXPECT_EQ(S_OK, device_.CreateShortcut(folder_ / "PLAIN.LNK", FixturePath("versioned.exe"), "", "", "", ""));
  EXPECT_FALSE(Exists(folder_ / "PLAIN.LNK.lnk"));
  LinkContents link = ReadLink(folder_ / "PLAIN.LNK");
  ASSERT_EQ(S_OK, link.loaded);
  EXPECT_EQ("", link.arguments);
  EXPECT_EQ("", link.description);
}

TEST_F(CreateShortcutTest, PathsBeyondTheLimitFailInsteadOfBeingCut) {
  const std::string longName(300, 'n');
  const std::string target = FixturePath("versioned.exe");
  const HRESULT tooLong = static_cast<HRESULT>(0x800700CE);
  EXPECT_EQ(tooLong, device_.CreateShortcut(folder_ / "Link", folder_ / longName, "", "", "", ""));
  EXPECT_EQ(tooLong, device_.CreateShortcut(folder_ / "Link", target, "", folder_ / longName, "", ""));
  EXPECT_EQ(tooLong, device_.CreateShortcut(folder_ / "Link", target, "", "", folder_ / longName, ""));
  EXPECT_EQ(tooLong, device_.CreateShortcut(folder_ / longName, target, "", "", "", ""));
  device_.SetProtectedModeQuery([] { return true; });
  EXPECT_EQ(tooLong, device_.CreateShortcut(folder_ / "Link", folder_ / longName, "", "", "", ""));
  EXPECT_FALSE(Exists(folder_ / "Link.lnk"));
}

TEST_F(CreateShortcutTest, FolderThatCannotBeMadeFails) {
  ASSERT_TRUE(WriteText(folder_ / "file", "x"));
  EXPECT_TRUE(FAILED(device_.CreateShortcut(folder_ / "file\\Link", FixturePath("versioned.exe"), "", "", "", "")));
}

TEST_F(CreateShortcutTest, ProtectedModeRunsTheScriptAndRemovesIt) {
  device_.SetProtectedModeQuery([] { return true; });
  std::string temp;
  ASSERT_EQ(S_OK, device_.GetTempFolder(temp));
  const std::string link = folder_ / "made\\by\\script\\Scripted";
  EXPECT_EQ(S_OK, device_.CreateShortcut(link, FixturePath("versioned.exe"), "-x", "", folder_.Path(), "By script"));
  EXPECT_TRUE(Exists(link + ".lnk"));
  EXPECT_FALSE(Exists(temp + "_ShortcutJS.js"));
  LinkContents contents = ReadLink(link + ".lnk");
  ASSERT_EQ(S_OK, contents.loaded);
  EXPECT_EQ(FixturePath("versioned.exe"), contents.path);
  EXPECT_EQ("-x", contents.arguments);
  EXPECT_EQ("By script", contents.description);
}

TEST(CreateShortcutScriptTest, UnwritableScriptFolderIsAccessDenied) {
  Kt_QxpConfiguration configuration;
  Kt_DeviceWIN32 device(&configuration, nullptr);
  device.SetProtectedModeQuery([] { return true; });
  const std::string setup = configuration.SetupFolder(Kt_QxpConfiguration::kPc);
  ::RemoveDirectoryA(setup.c_str());
  ASSERT_FALSE(Exists(setup));
  ScratchFolder folder;
  EXPECT_EQ(E_ACCESSDENIED, device.CreateShortcut(folder / "Never", FixturePath("versioned.exe"), "", "", "", ""));
  EXPECT_FALSE(Exists(folder / "Never.lnk"));
}

}  // namespace
}  // namespace kt::device::test
