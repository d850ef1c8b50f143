// Starting the platform, starting a program, and placing a shortcut: the command line and geometry
// computed against fixed screens, then real starts of a stand-in that records its command line.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "config/path_text.h"
#include "config/wide_text.h"
#include "control/com/bstr.h"
#include "control/kt_qx_installer.h"
#include "engine/run/platform_command_line.h"
#include "engine/run/platform_start.h"
#include "tests/control/control_test_support.h"

namespace {

using kt::engine::BuildPlatformLaunch;
using kt::engine::FrameMetrics;
using kt::engine::PlatformLaunch;
using kt::engine::PlatformStartProperties;
using kt_test::PutNumber;
using kt_test::PutText;

// Frame 8, edge 2, menu 20, caption 23: a window is 8 wider and 13 higher than its client area.
const FrameMetrics kMetrics{8, 8, 2, 2, 20, 23};
const RECT kFullHd{0, 0, 1920, 1040};

PlatformStartProperties Properties(const char* width, const char* height, LONG left = -1, LONG top = -1) {
  PlatformStartProperties properties;
  properties.key = "App";
  properties.width = width;
  properties.height = height;
  properties.left = left;
  properties.top = top;
  return properties;
}

TEST(PlatformCommandLineTest, GeometryFromTheWorkAreaAndTheFrame) {
  const DWORD both = STARTF_USEPOSITION | STARTF_USESIZE;
  const struct {
    const char* name;
    PlatformStartProperties properties;
    RECT workArea;
    const char* options;
    DWORD flags;
    POINT position;
    SIZE size;
  } cases[] = {
      {"centred", Properties("800", "600"), kFullHd, " -K App  -Lf 560 -Tp 220 -Wd 808 -Ht 613", both, {560, 220}, {808, 613}},
      {"max", Properties("max", "600"), kFullHd, " -K App  -Lt 0 -Tp 0 -Wd Max -Ht Max", 0, {0, 0}, {0, 0}},
      {"MAX height, placed", Properties("800", "MAX", 5, 6), {100, 50, 900, 650},
       " -K App  -Lf 5 -Tp 6 -Lt 100 -Tp 50 -Wd Max -Ht Max", STARTF_USEPOSITION, {5, 6}, {0, 0}},
      {"wider than the work area", Properties("2000", "600"), kFullHd, " -K App  -Lf 0 -Tp 220 -Wd 2008 -Ht 613",
       both, {0, 220}, {2008, 613}},
      {"exactly the work width", Properties("1920", "1040"), kFullHd, " -K App  -Lf 0 -Tp 0 -Wd 1928 -Ht 1053", both,
       {0, 0}, {1928, 1053}},
      {"second monitor", Properties("800", "600"), {1920, 0, 3840, 1080},
       " -K App  -Lf 2480 -Tp 240 -Wd 808 -Ht 613", both, {2480, 240}, {808, 613}},
      {"no monitor functions", Properties("800", "600"), {0, 0, 0, 0}, " -K App  -Lf 0 -Tp 0 -Wd 808 -Ht 613", both,
       {0, 0}, {808, 613}},
      {"placed, no size", Properties("", "", 10, 20), kFullHd, " -K App  -Lf 10 -Tp 20", STARTF_USEPOSITION, {10, 20},
       {0, 0}},
      {"width only, height zero", Properties("800", "0", -1, -1), kFullHd, " -K App ", 0, {0, 0}, {0, 0}},
      {"nothing set", Properties("", ""), kFullHd, " -K App ", 0, {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    PlatformLaunch launch;
    std::string refusal;
    ASSERT_TRUE(BuildPlatformLaunch(c.properties, c.workArea, kMetrics, launch, refusal)) << c.name;
    EXPECT_EQ(c.options, launch.options) << c.name;
    EXPECT_EQ(c.flags, launch.flags) << c.name;
    EXPECT_EQ(c.position.x, launch.position.x) << c.name;
    EXPECT_EQ(c.position.y, launch.position.y) << c.name;
    EXPECT_EQ(c.size.cx, launch.size.cx) << c.name;
    EXPECT_EQ(c.size.cy, launch.size.cy) << c.name;
  }
}

TEST(PlatformCommandLineTest, KeyHandleStartAndSiteKeyPartsAndRefusedQuotes) {
  const struct {
    const char* key;
    const char* handle;
    const char* startXml;
    const char* siteKey;
    const char* options;  // null: refused
  } cases[] = {
      {"App", "H1", "", "", " -K 'App;H1' "},
      {"App", "", "http://h/s.xml", "", " -K App -X 'http://h/s.xml'"},
      {"App", "H1", "C:\\s.xml", "site", " -K 'App;H1' -X 'C:\\s.xml' -SK 'site'"},
      {"App", "", "", "site", " -K App  -SK 'site'"},
      {"O'Neil", "", "", "", " -K O'Neil "},  // not quoted there, so harmless
      {"O'Neil", "H1", "", "", nullptr},
      {"App", "H'1", "", "", nullptr},
      {"App", "", "s'.xml", "", nullptr},
      {"App", "", "", "si'te", nullptr},
      {"A\"pp", "", "", "", nullptr},
      {"App", "", "s\".xml", "", nullptr},
  };
  for (const auto& c : cases) {
    PlatformStartProperties properties = Properties("", "");
    properties.key = c.key;
    properties.updateHandle = c.handle;
    properties.startXml = c.startXml;
    properties.siteKey = c.siteKey;
    PlatformLaunch launch;
    std::string refusal;
    const bool built = BuildPlatformLaunch(properties, kFullHd, kMetrics, launch, refusal);
    EXPECT_EQ(c.options != nullptr, built) << c.key << " " << c.handle << " " << c.startXml << " " << c.siteKey;
    if (built && c.options != nullptr) {
      EXPECT_EQ(c.options, launch.options);
    } else if (!built) {
      EXPECT_NE(refusal.find("the platform was not started"), std::string::npos) << refusal;
    }
  }
}

// A folder of its own under the temporary folder, with the stand-in platform copied in as
// "KtPlatform.exe"; the stand-in writes "platform.record" beside itself: its command line, then
// the start information it was given.
class ScratchPlatform {
 public:
  ScratchPlatform() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "KtLaunchTest\\";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    std::string recorder = KT_PLATFORM_STUB;
    for (char& ch : recorder) {
      if (ch == '/') ch = '\\';
    }
    copied_ = ::CopyFileA(recorder.c_str(), Program().c_str(), FALSE) != FALSE;
  }
  ~ScratchPlatform() {
    ::DeleteFileA(Record().c_str());
    ::DeleteFileA(Program().c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  ScratchPlatform(const ScratchPlatform&) = delete;
  ScratchPlatform& operator=(const ScratchPlatform&) = delete;

  bool Ready() const { return copied_; }
  const std::string& Folder() const { return folder_; }
  std::string Program() const { return folder_ + "KtPlatform.exe"; }
  std::string Record() const { return folder_ + "platform.record"; }

  // The recorded command line once the stand-in has written its record (its start information
  // to `startup`); empty when it wrote none within 20 seconds.
  std::string RecordedLine(std::string* startup = nullptr) const {
    for (int attempt = 0; attempt < 200; ++attempt) {
      std::ifstream in(Record(), std::ios::binary);
      const std::string record((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const size_t end = record.find('\n');
      if (end != std::string::npos) {
        if (startup != nullptr) *startup = record.substr(end + 1);
        return record.substr(0, end);
      }
      ::Sleep(100);
    }
    return std::string();
  }

 private:
  std::string folder_;
  bool copied_ = false;
};

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform_.Ready());
    Object().SetQuestionSeam([this](const std::string& text, UINT buttons) {
      questions_.push_back(text);
      buttonsAsked_ = buttons;
      return IDOK;
    });
    ASSERT_EQ(PutText(control_.Get(), L"Key", app_.Key()), S_OK);
    ASSERT_EQ(PutText(control_.Get(), L"ExecPath", platform_.Folder()), S_OK);
    ASSERT_EQ(PutText(control_.Get(), L"ExeName", "KtPlatform.exe"), S_OK);
  }

  kt::control::CKtQxInstaller3& Object() { return *static_cast<kt::control::CKtQxInstaller3*>(control_.Get()); }

  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  kt_test::ComPtr<IKtQxInstaller320_V3> control_ = kt_test::NewControl();
  kt_test::ScratchApplication app_{"Launch"};
  ScratchPlatform platform_;
  std::vector<std::string> questions_;
  UINT buttonsAsked_ = 0;
};

TEST_F(LaunchTest, RunStartsThePlatformWithItsKeyStartAndGeometry) {
  ASSERT_EQ(PutText(control_.Get(), L"UpdateHandle", "H7"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"StartXML", "http://example.test/start.xml"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"Width", "640"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"Height", "480"), S_OK);
  ASSERT_EQ(control_->Run(), S_OK);
  std::string startup;
  const std::string line = platform_.RecordedLine(&startup);

  PlatformStartProperties properties = Properties("640", "480");
  properties.key = app_.Key();
  properties.updateHandle = "H7";
  properties.startXml = "http://example.test/start.xml";
  PlatformLaunch expected;
  std::string refusal;
  ASSERT_TRUE(BuildPlatformLaunch(properties, kt::engine::MonitorWorkArea(nullptr), kt::engine::SystemFrameMetrics(),
                                  expected, refusal));
  EXPECT_EQ("\"" + platform_.Program() + "\"" + expected.options, line);
  EXPECT_NE(line.find(" -K '" + app_.Key() + ";H7' -X 'http://example.test/start.xml' -Lf "), std::string::npos);
  // Position and size reach the platform, which starts hidden and shows itself.
  char given[96] = {};
  std::snprintf(given, sizeof given, "%lu %ld %ld %ld %ld 0",
                static_cast<unsigned long>(STARTF_USEPOSITION | STARTF_USESIZE | STARTF_USESHOWWINDOW),
                expected.position.x, expected.position.y, expected.size.cx, expected.size.cy);
  EXPECT_EQ(given, startup);
  EXPECT_TRUE(questions_.empty());
  EXPECT_EQ(kt_test::GetText(control_.Get(), L"ErrorCode"), "0");
}

TEST_F(LaunchTest, AFailedOrRefusedStartIsReportedAndShownThroughTheSeam) {
  ASSERT_EQ(PutText(control_.Get(), L"ExeName", "KtNoSuchPlatform.exe"), S_OK);
  EXPECT_TRUE(FAILED(control_->Run()));
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(buttonsAsked_, static_cast<UINT>(MB_OK));
  EXPECT_EQ(kt_test::GetText(control_.Get(), L"ErrorCode"), "115");
  const std::string message = kt_test::GetText(control_.Get(), L"ErrorMsg");
  EXPECT_EQ(questions_[0], message);
  EXPECT_NE(message.find("[" + platform_.Folder() + "KtNoSuchPlatform.exe]"), std::string::npos) << message;

  // A quote that would leave its quoting: nothing is started, and the box says why.
  ASSERT_EQ(PutText(control_.Get(), L"ExeName", "KtPlatform.exe"), S_OK);
  ASSERT_EQ(PutText(control_.Get(), L"UpdateHandle", "H'7"), S_OK);
  EXPECT_EQ(control_->Run(), E_INVALIDARG);
  ASSERT_EQ(questions_.size(), 2u);
  EXPECT_NE(questions_[1].find("UpdateHandle contains a single quote"), std::string::npos) << questions_[1];
  EXPECT_EQ(::GetFileAttributesA(platform_.Record().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LaunchTest, ACeStartDoesNothingUntilTheDeviceCanBeReached) {
  ASSERT_EQ(PutText(control_.Get(), L"DeviceType", "ce"), S_OK);
  EXPECT_EQ(control_->Run(), S_OK);
  EXPECT_TRUE(questions_.empty());
  EXPECT_EQ(::GetFileAttributesA(platform_.Record().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LaunchTest, ExecuteStartsAnAliasedProgramAndShowsItsFixedBoxOnFailure) {
  EXPECT_EQ(control_->Execute(kt::com::Bstr("%EXECPATH%KtPlatform.exe").Get(), kt::com::Bstr("-a 'b c'").Get()),
            S_OK);
  EXPECT_EQ("\"" + platform_.Program() + "\" -a 'b c'", platform_.RecordedLine());
  EXPECT_TRUE(questions_.empty());

  EXPECT_EQ(control_->Execute(kt::com::Bstr("%EXECPATH%KtNoSuchProgram.exe").Get(), kt::com::Bstr("").Get()), S_OK);
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0], "Error");
  EXPECT_EQ(buttonsAsked_, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

struct LinkTarget {
  HRESULT loaded = E_FAIL;
  std::string path;
  std::string arguments;
};

LinkTarget ReadLinkTarget(const std::string& file) {
  LinkTarget link;
  kt_test::ComPtr<IShellLinkA> shellLink;
  kt_test::ComPtr<IPersistFile> persist;
  std::wstring wide;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shellLink.PutVoid())) ||
      FAILED(shellLink->QueryInterface(IID_IPersistFile, persist.PutVoid())) || !kt::AnsiToWide(file, wide)) {
    return link;
  }
  link.loaded = persist->Load(wide.c_str(), STGM_READ);
  char text[MAX_PATH] = {};
  shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  link.path = text;
  shellLink->GetArguments(text, MAX_PATH);
  link.arguments = text;
  return link;
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return kt::WithBackslash(path);
}

TEST_F(LaunchTest, MakeShortCutPlacesTheLinkInEachFolderWordsSubfolder) {
  const struct {
    const char* position;
    int csidl;
    const char* exeName;
    const char* command;
  } cases[] = {
      {"Programs:KtLaunchTools", CSIDL_PROGRAMS, "%EXECPATH%KtPlatform.exe", "-x 1"},
      {"STARTMENU:KtLaunchTools", CSIDL_STARTMENU, "", ""},  // the platform with key and start
      {"startup:KtLaunchTools", CSIDL_STARTUP, "", ""},
      {"Elsewhere:KtLaunchTools", CSIDL_DESKTOP, "", ""},  // any other word is the desktop
  };
  ASSERT_EQ(PutText(control_.Get(), L"StartXML", "http://example.test/start.xml"), S_OK);
  for (const auto& c : cases) {
    const std::string subfolder = SpecialFolder(c.csidl) + "KtLaunchTools\\";
    EXPECT_EQ(control_->MakeShortCut(kt::com::Bstr(c.exeName).Get(), kt::com::Bstr(c.command).Get(),
                                     kt::com::Bstr("KtLaunch").Get(), kt::com::Bstr("").Get(),
                                     kt::com::Bstr(c.position).Get()),
              S_OK)
        << c.position;
    const LinkTarget link = ReadLinkTarget(subfolder + "KtLaunch.lnk");
    ::DeleteFileA((subfolder + "KtLaunch.lnk").c_str());
    ::RemoveDirectoryA(subfolder.c_str());
    ASSERT_EQ(link.loaded, S_OK) << c.position;
    EXPECT_EQ(link.path, platform_.Program()) << c.position;
    const std::string arguments = *c.command != '\0' ? c.command : app_.Key() + " 'http://example.test/start.xml'";
    EXPECT_EQ(link.arguments, arguments) << c.position;
  }

  // A shortcut the device cannot write is answered with S_FALSE.
  EXPECT_EQ(control_->MakeShortCut(kt::com::Bstr("%EXECPATH%KtPlatform.exe").Get(), kt::com::Bstr("").Get(),
                                   kt::com::Bstr(std::string(300, 'n')).Get(), kt::com::Bstr("").Get(),
                                   kt::com::Bstr("Programs").Get()),
            S_FALSE);
}

}  // namespace
