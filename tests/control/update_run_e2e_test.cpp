// Whole update runs through the control against a real web server (nginx, started by the CTest
// fixture) under Wine: a first run installs every file, a second fetches nothing but the lists, a
// changed file alone is fetched again, and server faults, a list in place of the configuration,
// a file name that would leave its folder and a file in use end as the person at the page
// expects, with nothing installed half-way.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "control/com/bstr.h"
#include "control/kt_qx_installer.h"
#include "device/unique_handle.h"
#include "nginx_fixture.h"
#include "tests/control/control_test_support.h"
#include "tests/control/recording_sink.h"

namespace {

using kt_test::GetText;
using kt_test::PutText;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const std::string& path, const std::string& text) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
  std::ofstream(path, std::ios::binary) << text;
}

std::string ConfigurationList(const std::string& source, const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
         "<param id=\"CONFIG\" type=\"STRING\">true</param><param id=\"VERSION\" type=\"STRING\">1.0</param>"
         "</params><dataset id=\"WIN32\"><colinfo id=\"SOURCE\" type=\"STRING\"/><colinfo id=\"VERSION\" type=\"STRING\"/>"
         "<record><SOURCE>" + source + "</SOURCE><VERSION>" + version + "</VERSION></record></dataset></root>\n";
}

struct Row {
  std::string fileName, version, action, target, argument;
};

std::string ComponentList(const std::vector<Row>& rows) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
                    "<param id=\"SOURCE\" type=\"STRING\">files</param>"
                    "<param id=\"ACTION\" type=\"STRING\">COPY</param></params><dataset id=\"LIST\">";
  for (const char* column : {"FILENAME", "VERSION", "ACTION", "TARGET", "ARGUMENT"}) {
    xml += std::string("<colinfo id=\"") + column + "\" type=\"STRING\"/>";
  }
  for (const Row& row : rows) {
    xml += "<record><FILENAME>" + row.fileName + "</FILENAME><VERSION>" + row.version + "</VERSION><ACTION>" +
           row.action + "</ACTION><TARGET>" + row.target + "</TARGET><ARGUMENT>" + row.argument +
           "</ARGUMENT></record>";
  }
  return xml + "</dataset></root>\n";
}

class UpdateRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Ready()) << server_.Problem();
    ASSERT_TRUE(control_);
    const std::string tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    site_ = tag + std::to_string(::GetCurrentProcessId());
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    installed_ = std::string(temp) + "kt_run_" + site_ + "\\";
    ::CreateDirectoryA(installed_.c_str(), nullptr);
    ASSERT_EQ(PutText(Control(), L"Key", app_.Key()), S_OK);
    // Relative targets land in the alias folder: this test's own.
    ASSERT_EQ(control_->AddAlias(kt::com::Bstr("").Get(), kt::com::Bstr(installed_).Get(), kt::com::Bstr("").Get()), S_OK);
    Object().SetQuestionSeam([this](const std::string& text, UINT buttons) {
      questions_.push_back(text);
      return buttons == MB_YESNOCANCEL ? inUseAnswer_ : IDNO;
    });
  }
  void TearDown() override {
    std::string command = "cmd /c rd /s /q \"" + installed_ + "\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                         &process)) {
      ::WaitForSingleObject(process.hProcess, 30000);
      ::CloseHandle(process.hProcess);
      ::CloseHandle(process.hThread);
    }
  }

  // Serves a file below this test's own folder of the document root.
  void Serve(const std::string& relative, const std::string& content) {
    std::string path = std::string(KT_UPDATE_ROOT) + "\\" + site_ + "\\" + relative;
    for (char& ch : path) {
      if (ch == '/') ch = '\\';
    }
    Spit(path, content);
  }
  std::string Url(const std::string& relative) const { return server_.Url(site_ + "/" + relative); }
  kt::control::CKtQxInstaller3& Object() { return *static_cast<kt::control::CKtQxInstaller3*>(control_.Get()); }
  IDispatch* Control() { return control_.Get(); }

  // Runs an update and gives the URIs the server answered during it.
  std::vector<std::string> RunUpdate(const std::string& url, HRESULT expected = S_OK) {
    const std::uint64_t mark = server_.LogMark();
    EXPECT_EQ(PutText(Control(), L"UpdateURL", url), S_OK);
    EXPECT_EQ(control_->StartDownload(), expected);
    std::vector<std::string> uris;
    for (const auto& request : server_.RequestsSince(mark)) uris.push_back(request.uri.substr(request.uri.rfind('/') + 1));
    return uris;
  }

  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  kt_test::ScratchApplication app_{"Run"};
  kt_test::NginxFixture server_ = kt_test::NginxFixture::FromEnvironment();
  kt_test::ComPtr<IKtQxInstaller320_V3> control_ = kt_test::NewControl();
  std::string site_;
  std::string installed_;
  std::vector<std::string> questions_;
  int inUseAnswer_ = IDNO;
};

TEST_F(UpdateRunTest, FirstRunInstallsEverythingAndASecondFetchesOnlyWhatChanged) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"a.txt", "1.0", "", ""}, {"b.txt", "1.0", "", "sub"},
                                             {"old.txt", "1.0", "DELETE", ""}}));
  Serve("app/files/a.txt", "alpha 1");
  Serve("app/files/b.txt", "beta 1");
  Spit(installed_ + "old.txt", "to be deleted");

  const auto first = RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(Slurp(installed_ + "a.txt"), "alpha 1");
  EXPECT_EQ(Slurp(installed_ + "sub\\b.txt"), "beta 1");
  EXPECT_EQ(::GetFileAttributesA((installed_ + "old.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(first, (std::vector<std::string>{"config.xml", "components.xml", "a.txt", "b.txt"}));

  // Nothing changed: only the configuration list is read.
  auto second = RunUpdate(Url("config.xml"));
  EXPECT_EQ(second, (std::vector<std::string>{"config.xml"}));

  // A new version of one file and of its list: that file alone is fetched.
  Serve("config.xml", ConfigurationList("app/components.xml", "1.1"));
  Serve("app/components.xml", ComponentList({{"a.txt", "1.1", "", ""}, {"b.txt", "1.0", "", "sub"},
                                             {"old.txt", "1.0", "DELETE", ""}}));
  Serve("app/files/a.txt", "alpha 2");
  const auto third = RunUpdate(Url("config.xml"));
  EXPECT_EQ(third, (std::vector<std::string>{"config.xml", "components.xml", "a.txt"}));
  EXPECT_EQ(Slurp(installed_ + "a.txt"), "alpha 2");
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "0");
  EXPECT_FALSE(GetText(Control(), L"VersionLocalFile").empty());
}

TEST_F(UpdateRunTest, EveryActionTakesEffectAndTheEventsTellEachStep) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml",
        ComponentList({{"comp.dll", "1.0", "DOWNREG", "com"},
                       {"run.exe", "1.0", "DOWNRUN", "run", "--now"},
                       {"launch.exe", "1.0", "DOWNLAUNCH", "launch", "--later"},
                       {"data.txt", "1.0", "EXTRACT", "data"}}));
  Serve("app/files/comp.dll", Slurp(std::string(KT_DEVICE_FIXTURES) + "\\kt_com_server.dll"));
  const std::string recorder = Slurp(std::string(KT_DEVICE_FIXTURES) + "\\cabhost\\ktinstlr.exe");
  Serve("app/files/run.exe", recorder);
  Serve("app/files/launch.exe", recorder);
  Serve("app/files/data.txt", "data");
  std::vector<std::string> events;
  kt_test::RecordingSink sink("E", events);
  kt_test::ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(control_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()), S_OK);
  kt_test::ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__IKtQxInstaller320_V2Events,
                                           reinterpret_cast<IConnectionPoint**>(point.PutVoid())), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(static_cast<IDispatch*>(&sink), &cookie), S_OK);

  RunUpdate(Url("config.xml"));
  point->Unadvise(cookie);
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");

  // Start and end events by type: the run, the list (fetched and merged), then its four downloads
  // and four items applied.
  std::vector<std::string> steps;
  for (const std::string& event : events) {
    if (event.compare(0, 4, "E:2:") == 0 || event.compare(0, 4, "E:3:") == 0) steps.push_back(event.substr(2));
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"2:1", "2:2", "3:2", "2:3", "3:3", "2:3", "3:3", "2:3", "3:3", "2:3",
                                            "3:3", "2:4", "3:4", "2:4", "3:4", "2:4", "3:4", "2:4", "3:4", "3:1"}));
  // Registered, run with its argument (and waited for), started after the run.
  char server[MAX_PATH] = {};
  LONG size = sizeof server;
  EXPECT_EQ(::RegQueryValueA(HKEY_CLASSES_ROOT, "CLSID\\{7C1D3E52-4A0B-4C8E-9B61-2F5A8D0E6C11}\\InprocServer32", server,
                             &size), ERROR_SUCCESS);
  EXPECT_STRCASEEQ(server, (installed_ + "com\\comp.dll").c_str());
  EXPECT_NE(Slurp(installed_ + "run\\ktinstlr.args").find("--now"), std::string::npos);
  std::string launched;
  for (int wait = 0; wait < 100 && launched.empty(); ++wait, ::Sleep(100)) launched = Slurp(installed_ + "launch\\ktinstlr.args");
  EXPECT_NE(launched.find("--later"), std::string::npos);
  EXPECT_EQ(Slurp(installed_ + "data\\data.txt"), "data");
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{7C1D3E52-4A0B-4C8E-9B61-2F5A8D0E6C11}");
}

TEST_F(UpdateRunTest, ExistVersionUpCntTellsWhetherAnUpdateWouldChangeAnything) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"a.txt", "1.0", "", ""}}));
  Serve("app/files/a.txt", "alpha");
  ASSERT_EQ(PutText(Control(), L"UpdateURL", Url("config.xml")), S_OK);
  VARIANT_BOOL exists = VARIANT_FALSE;
  ASSERT_EQ(control_->ExistVersionUpCnt(&exists), S_OK);
  EXPECT_EQ(exists, VARIANT_TRUE);
  EXPECT_EQ(::GetFileAttributesA((installed_ + "a.txt").c_str()), INVALID_FILE_ATTRIBUTES) << "asking changes nothing";
  RunUpdate(Url("config.xml"));
  ASSERT_EQ(control_->ExistVersionUpCnt(&exists), S_OK);
  EXPECT_EQ(exists, VARIANT_FALSE);
}

TEST_F(UpdateRunTest, AMissingFileFailsItsListAndTheNextRunFetchesItAgain) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"here.txt", "1.0", "", ""}, {"missing.txt", "1.0", "", ""}}));
  Serve("app/files/here.txt", "here");
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "105");
  EXPECT_NE(GetText(Control(), L"ErrorMsg").find("missing.txt"), std::string::npos);
  EXPECT_EQ(::GetFileAttributesA((installed_ + "here.txt").c_str()), INVALID_FILE_ATTRIBUTES)
      << "nothing is applied while a download of the list failed";
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);

  Serve("app/files/missing.txt", "found");
  const auto again = RunUpdate(Url("config.xml"));
  EXPECT_EQ(again, (std::vector<std::string>{"config.xml", "components.xml", "missing.txt"}));
  EXPECT_EQ(Slurp(installed_ + "missing.txt"), "found");
  EXPECT_EQ(Slurp(installed_ + "here.txt"), "here");
}

TEST_F(UpdateRunTest, AComponentListInPlaceOfTheConfigurationFailsAfterTheFirstEventOnly) {
  Serve("app/components.xml", ComponentList({{"a.txt", "1.0", "", ""}}));
  RunUpdate(Url("app/components.xml"), E_FAIL);
  EXPECT_EQ(::GetFileAttributesA((installed_ + "a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateRunTest, AFileNameThatWouldLeaveItsFolderIsRefusedAndNothingIsWritten) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"..\\escape.txt", "1.0", "", "inner"}}));
  Serve("app/escape.txt", "escaped");
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "105");
  EXPECT_EQ(::GetFileAttributesA((installed_ + "escape.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateRunTest, AFileInUseAnsweredNoIsReplacedAtTheNextStartAndARestartIsOffered) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"busy.txt", "1.0", "", ""}, {"busy2.txt", "1.0", "", ""}}));
  Serve("app/files/busy.txt", "new busy");
  Serve("app/files/busy2.txt", "new busy 2");
  Spit(installed_ + "busy.txt", "old busy");
  Spit(installed_ + "busy2.txt", "old busy 2");
  // Held open without sharing, as a running program holds its files.
  kt::device::UniqueHandle held(::CreateFileA((installed_ + "busy.txt").c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
  kt::device::UniqueHandle held2(::CreateFileA((installed_ + "busy2.txt").c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held && held2);
  inUseAnswer_ = IDNO;
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  // One in-use question (the second file is deferred without asking), then the restart question.
  ASSERT_EQ(questions_.size(), 2u);
  EXPECT_NE(questions_[0].find("busy.txt"), std::string::npos);
  EXPECT_NE(questions_[1].find("re-start"), std::string::npos);
  HKEY session = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                            KEY_READ | KEY_WRITE, &session), ERROR_SUCCESS);
  char pending[8192] = {};
  DWORD size = sizeof pending;
  ::RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(pending), &size);
  std::string renames(pending, size);
  EXPECT_NE(renames.find("busy2.txt"), std::string::npos);
  // Nothing of this test may be carried out at a later restart of the shared prefix.
  ::RegDeleteValueA(session, "PendingFileRenameOperations");
  ::RegCloseKey(session);
}

TEST_F(UpdateRunTest, AFileInUseAnsweredCancelStopsTheRun) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"locked.txt", "1.0", "", ""}}));
  Serve("app/files/locked.txt", "new");
  Spit(installed_ + "locked.txt", "old");
  kt::device::UniqueHandle held(::CreateFileA((installed_ + "locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
  inUseAnswer_ = IDCANCEL;
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "129");
  held.Reset();
  EXPECT_EQ(Slurp(installed_ + "locked.txt"), "old");
}

}  // namespace
