// Start-up of the updater program: which kind of start a command line is, where the updater reads
// its per-application values for each version and device kind, what a launch description
// contributes, and how the resource library's names are formed.
#include "updater/start_values.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "config/qxp_configuration.h"
#include "device/unique_handle.h"
#include "updater/site_key.h"
#include "updater/start_argument.h"

namespace {

using kt::updater::UpdaterStartValues;

// "Site" as UTF-16LE in Base64, as site keys are carried; lower-case letters make sure the text
// is decoded as written.
constexpr char kSiteKey[] = "UwBpAHQAZQA=";
constexpr char kKey[] = "KtUpdaterStartTest";

// Writes string values under HKEY_CURRENT_USER\path and removes the key when it goes.
class UpdaterValues {
 public:
  explicit UpdaterValues(std::string path) : path_(std::move(path)) {}
  ~UpdaterValues() { ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
  UpdaterValues(const UpdaterValues&) = delete;
  UpdaterValues& operator=(const UpdaterValues&) = delete;
  void Set(const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
  }

 private:
  std::string path_;
};

std::string TempFolder() {
  char path[MAX_PATH] = {0};
  ::GetTempPathA(MAX_PATH, path);
  return path;
}

void WriteFile(const std::string& path, const std::string& text) {
  kt::device::UniqueHandle file(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.Valid()) << path;
  DWORD written = 0;
  ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

TEST(StartArgumentTest, TellsLaunchDescriptionsFromOptions) {
  const struct {
    const char* line;
    bool understood;
    const char* argument;
    bool launchDescription;
  } cases[] = {
      // The shell's form: program path, a space, the file in double quotes.
      {"C:\\Q\\QxUpdater320.exe \"C:\\dl\\forms.qrd2\"", true, "C:\\dl\\forms.qrd2", true},
      {"\"C:\\Q\\QxUpdater320.exe\" \"C:\\dl\\forms.qrd2\"", true, "C:\\dl\\forms.qrd2", true},
      {"C:\\Q\\QxUpdater320.exe 'C:\\a b\\forms.qrd'", true, "C:\\a b\\forms.qrd", true},
      {"C:\\Q\\QxUpdater320.exe C:\\dl\\FORMS.QRD2", true, "C:\\dl\\FORMS.QRD2", true},
      {"C:\\Q\\QxUpdater320.exe C:\\dl\\forms.Qrd", true, "C:\\dl\\forms.Qrd", true},
      {"C:\\Q\\QxUpdater320.exe C:\\dl\\forms.qrdx", true, "C:\\dl\\forms.qrdx", false},
      {"C:\\Q\\QxUpdater320.exe C:\\dl\\forms.qrd22", true, "C:\\dl\\forms.qrd22", false},
      {"C:\\Q\\QxUpdater320.exe -D WIN32 -K App", true, "-D WIN32 -K App", false},
      {"forms.qrd2", true, "forms.qrd2", true},
      // The program path alone: nothing to start with.
      {"C:\\Q\\QxUpdater320.exe", false, "", false},
      {"\"C:\\Q\\QxUpdater320.exe\"", false, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::string argument;
    ASSERT_EQ(kt::updater::StartArgument(c.line, argument), c.understood);
    if (!c.understood) continue;
    EXPECT_EQ(argument, c.argument);
    EXPECT_EQ(kt::updater::IsLaunchDescriptionPath(argument), c.launchDescription);
  }
}

TEST(SiteKeyTest, DecodesBase64OfUtf16Text) {
  const struct {
    const char* encoded;
    const char* decoded;
  } cases[] = {
      {"UwBpAHQAZQA=", "Site"},
      {"  \r\nUwBp AHQA\nZQA=", "Site"},  // white space and line breaks inside are skipped
      {"UwBpAHQAZQ", "Site"},              // a final group of two characters gives one byte
      {"UwAAAGkA", "S"},                   // the text ends at its first zero character
      {"", ""},
      {"!!!!", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoded);
    EXPECT_EQ(kt::updater::DecodeSiteKey(c.encoded), c.decoded);
  }
  // At most 259 bytes of text come out of a long key.
  std::string longKey;
  for (int i = 0; i < 200; ++i) longKey += "QQBBAA==";  // "AA" each
  EXPECT_EQ(kt::updater::DecodeSiteKey(longKey).size(), 2u);  // decoding stops at the first "="
  std::string unpadded;
  for (int i = 0; i < 200; ++i) unpadded += "QQBBAEEA";  // "AAA" each, 6 bytes
  EXPECT_EQ(kt::updater::DecodeSiteKey(unpadded).size(), 259u);
}

TEST(OptionModeTest, ReadsUnderTheBaseAndSubKeyOfVersionKindAndSiteKey) {
  const struct {
    const char* version;
    const char* kind;
    const char* siteKey;
    const char* base;
    std::string subKey;
  } cases[] = {
      {"3.2", "WIN32", "", "Software\\AppDataLow\\SoftWare\\ORVANTIS\\", kKey},
      {"3.2", "WIN32", kSiteKey, "Software\\AppDataLow\\SoftWare\\ORVANTIS\\", std::string("Site_") + kKey},
      {"3.2", "CE", "", "Software\\ORVANTIS\\", kKey},
      {"3.1", "WIN32", "", "Software\\ORVANTIS\\", kKey},
      {"3.1", "WIN32", kSiteKey, "Software\\ORVANTIS\\", std::string("Site_") + kKey},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.version) + "/" + c.kind + "/" + c.siteKey);
    std::string line = std::string("\"C:\\Q\\QxUpdater320.exe\" -D ") + c.kind + " -V " + c.version + " -K " + kKey;
    if (*c.siteKey != '\0') line += std::string(" -SK ") + c.siteKey;
    // The registry name of the version row, as the configuration selects it.
    Kt_QxpConfiguration probe(false);
    probe.SetDeviceType(c.kind);
    probe.SetVersion(c.version);
    const std::string registryName = probe.Table()[probe.CurrentRow()].registryName;
    ASSERT_FALSE(registryName.empty());
    UpdaterValues values(c.base + registryName + "\\" + c.subKey);
    values.Set("UResource", "myskin");
    values.Set("ComponentPath", "C:\\Kt Components");

    Kt_QxpConfiguration configuration(false);
    UpdaterStartValues start;
    kt::updater::PrepareOptionMode(line, start, configuration);
    kt::updater::NormaliseLibraryNames(start);
    EXPECT_EQ(start.registry.base, c.base);
    EXPECT_EQ(start.registry.subKey, c.subKey);
    EXPECT_EQ(start.registry.registryName, registryName);
    EXPECT_EQ(configuration.Key(), c.subKey);
    EXPECT_EQ(start.defaultLibrary, "MYSKIN.DLL");
    EXPECT_EQ(start.firstLibraryCandidate, "C:\\KT COMPONENTS\\MYSKIN.DLL");
  }
}

TEST(OptionModeTest, WithoutValuesTheDefaultLibraryStaysAndNoCandidateIsFormed) {
  Kt_QxpConfiguration configuration(false);
  UpdaterStartValues start;
  kt::updater::PrepareOptionMode("QxUpdater320.exe -V 3.1 -K KtUpdaterNothingStored", start, configuration);
  kt::updater::NormaliseLibraryNames(start);
  EXPECT_EQ(start.defaultLibrary, "SKINPACK.DLL");
  EXPECT_EQ(start.firstLibraryCandidate, "");
  EXPECT_EQ(start.options.BI, "");
}

TEST(OptionModeTest, BackgroundImageIsLookedForInTheComponentFolder) {
  const std::string folder = TempFolder();
  const std::string image = "kt_updater_background_test.bmp";
  Kt_QxpConfiguration probe(false);
  probe.SetVersion("3.1");
  const std::string place =
      "Software\\ORVANTIS\\" + probe.Table()[probe.CurrentRow()].registryName + "\\" + kKey;
  for (bool present : {true, false}) {
    SCOPED_TRACE(present ? "image present" : "image missing");
    UpdaterValues values(place);
    values.Set("UBKImage", image);
    values.Set("ComponentPath", folder);
    if (present) WriteFile(folder + image, "BM");
    Kt_QxpConfiguration configuration(false);
    UpdaterStartValues start;
    kt::updater::PrepareOptionMode(std::string("QxUpdater320.exe -V 3.1 -K ") + kKey, start, configuration);
    EXPECT_EQ(start.firstImageCandidate, folder + image);
    EXPECT_EQ(start.options.BI, present ? folder + image : std::string());
    ::DeleteFileA((folder + image).c_str());
  }
}

TEST(LaunchDescriptionTest, KeySiteKeyVersionAndKindComeFromTheFile) {
  // Double and single quotes around attributes are read alike.
  for (char quote : {'"', '\''}) {
    SCOPED_TRACE(quote);
    const std::string q(1, quote);
    const std::string path = TempFolder() + "kt_updater_scan_test.qrd2";
    WriteFile(path, "<?xml version=" + q + "1.0" + q + "?>\n<root><dataset id=" + q + "WIN32" + q + ">" +
                        "<colinfo id=" + q + "Key" + q + " size=" + q + "255" + q + " type=" + q + "STRING" + q +
                        "/><colinfo id=" + q + "SiteKey" + q + " size=" + q + "255" + q + " type=" + q + "STRING" + q +
                        "/><colinfo id=" + q + "Version" + q + " size=" + q + "255" + q + " type=" + q + "STRING" + q +
                        "/><colinfo id=" + q + "URESOURCE" + q + " size=" + q + "255" + q + " type=" + q + "STRING" +
                        q + "/><colinfo id=" + q + "ComponentPath" + q + " size=" + q + "255" + q + " type=" + q +
                        "STRING" + q + "/><colinfo id=" + q + "UPDATEKILLQXP" + q + " size=" + q + "255" + q +
                        " type=" + q + "STRING" + q + "/><record><Key>" + kKey + "</Key><SiteKey>" + kSiteKey +
                        "</SiteKey><Version>3.2</Version><URESOURCE>qrdskin</URESOURCE>" +
                        "<ComponentPath>C:\\QrdComp</ComponentPath><UPDATEKILLQXP> nokill </UPDATEKILLQXP>" +
                        "</record></dataset></root>");
    Kt_QxpConfiguration configuration(false);
    UpdaterStartValues start;
    kt::updater::ScanLaunchDescription(path, start, configuration);
    kt::updater::NormaliseLibraryNames(start);
    EXPECT_EQ(start.registry.base, "Software\\AppDataLow\\SoftWare\\ORVANTIS\\");
    EXPECT_EQ(start.registry.subKey, std::string("Site_") + kKey);
    EXPECT_EQ(start.decodedSiteKey, "Site");
    EXPECT_EQ(configuration.Key(), std::string("Site_") + kKey);
    EXPECT_EQ(configuration.Version(), "3.2");
    EXPECT_EQ(start.defaultLibrary, "QRDSKIN.DLL");
    EXPECT_EQ(start.firstLibraryCandidate, "C:\\QRDCOMP\\QRDSKIN.DLL");
    EXPECT_EQ(start.options.KillMode, 2);
    ::DeleteFileA(path.c_str());
  }
}

TEST(LaunchDescriptionTest, AFileThatCannotBeReadChangesNothing) {
  Kt_QxpConfiguration configuration(false);
  UpdaterStartValues start;
  kt::updater::ScanLaunchDescription(TempFolder() + "kt_no_such_file.qrd2", start, configuration);
  EXPECT_EQ(start.options.Key, "");
  EXPECT_EQ(start.options.Version, "3.0");
  EXPECT_EQ(start.defaultLibrary, "SKINPACK.DLL");
  EXPECT_EQ(start.registry.subKey, "");
}

TEST(LibraryNameTest, NamesAreUpperCasedAndGetOneDllExtension) {
  const struct {
    const char* name;
    const char* normalised;
  } cases[] = {
      {"skin", "SKIN.DLL"},
      {"skin.dll", "SKIN.DLL"},
      {"Skin.Dll", "SKIN.DLL"},
      {"C:\\Skins\\blue", "C:\\SKINS\\BLUE.DLL"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UpdaterStartValues start;
    start.defaultLibrary = c.name;
    start.firstLibraryCandidate = c.name;
    kt::updater::NormaliseLibraryNames(start);
    EXPECT_EQ(start.defaultLibrary, c.normalised);
    EXPECT_EQ(start.firstLibraryCandidate, c.normalised);
  }
}

}  // namespace
