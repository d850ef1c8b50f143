// Whole update runs through the control against a real web server (nginx, started by the CTest
// fixture) under Wine: a first run installs every file, a second fetches nothing but the lists, a
// changed file alone is fetched again, and server faults, a list in place of the configuration,
// a file name that would leave its folder and a file in use end as the person at the page
// expects, with nothing installed half-way.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <set>
#include <string>
#include <vector>

#include "config/qxp_configuration.h"
#include "control/com/bstr.h"
#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/documents/document_form.h"
#include "dataset/binary/packer.h"
#include "control/kt_qx_installer.h"
#include "device/unique_handle.h"
#include "nginx_fixture.h"
#include "tests/control/control_test_support.h"
#include "tests/control/recording_sink.h"
#include "tests/control/update_run_fixture.h"

namespace {

using kt_test::ComponentList;
using kt_test::EventConnection;
using kt_test::RunAndWait;
using kt_test::Slurp;
using kt_test::Spit;
using kt_test::TakePendingRenames;
using kt_test::GetText;
using kt_test::PutText;
using Row = kt_test::ListRow;

std::string ConfigurationList(const std::string& source, const std::string& version) {
  return kt_test::ConfigurationList({{source, version}});
}
using kt_test::ConfigurationList;

std::string WindowsPath(const std::string& path) {
  std::string windows = path;
  for (char& ch : windows) {
    if (ch == '/') ch = '\\';
  }
  return windows;
}

// Presses Stop, as a page's button would, as soon as the download of one file reports progress.
class StoppingSink final : public IDispatch {
 public:
  explicit StoppingSink(IKtQxInstaller320_V3* control) : control_(control) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    // OnProgress(ItemName, progress, progressMax, StatusText): the item name comes last first.
    const bool file = id == 5 && parameters->cArgs == 4 && V_VT(&parameters->rgvarg[3]) == VT_BSTR &&
                      kt::com::AnsiFromBstr(V_BSTR(&parameters->rgvarg[3])) == "big.bin";
    if (file && !stopped_) {
      stopped_ = true;
      control_->Stop();
    }
    return S_OK;
  }
  bool stopped_ = false;

 private:
  IKtQxInstaller320_V3* control_;
};

class UpdateRunTest : public kt_test::UpdateRunFixture {
 protected:
  UpdateRunTest() : UpdateRunFixture("Run", KT_UPDATE_ROOT) {}
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
  EventConnection connection(control_.Get(), DIID__IKtQxInstaller320_V2Events, &sink);
  ASSERT_TRUE(connection.Connected());

  RunUpdate(Url("config.xml"));
  connection.Disconnect();
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

// The control as a page gets it: the registered library, with the bootstrap installer beside it,
// installs a control named by its class identifier from a cabinet on the server.
TEST_F(UpdateRunTest, AClassIdentifierTargetIsInstalledFromItsCabinetByTheBootstrapInstaller) {
  const std::string library = WindowsPath(KT_CONTROL_DLL);
  ASSERT_EQ(RunAndWait("regsvr32.exe /s \"" + library + "\""), 0u);
  control_.Reset();
  ASSERT_EQ(::CoCreateInstance(CLSID_KtQxInstaller320, nullptr, CLSCTX_INPROC_SERVER, IID_IKtQxInstaller320_V3,
                               control_.PutVoid()), S_OK);
  ASSERT_EQ(PutText(Control(), L"Key", app_.Key()), S_OK);
  // An unattended installer: no box may wait for a person.
  HKEY daemon = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ORVANTIS\\KtValueDaemon", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &daemon, nullptr), ERROR_SUCCESS);
  const DWORD mute = 1;
  ::RegSetValueExA(daemon, "InstallerMute", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mute), sizeof mute);
  ::RegCloseKey(daemon);
  const std::string classKey = std::string("CLSID\\") + KT_TEST_CONTROL_CLSID;
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey.c_str());

  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"control_v1.cab", "1.0.0.1", "", KT_TEST_CONTROL_CLSID}}));
  Serve("app/files/control_v1.cab", Slurp(WindowsPath(KT_TEST_CABINETS) + "\\control_v1.cab"));
  const auto fetched = RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(fetched, (std::vector<std::string>{"config.xml", "components.xml", "control_v1.cab"}));
  char server[MAX_PATH] = {};
  LONG size = sizeof server;
  EXPECT_EQ(::RegQueryValueA(HKEY_CLASSES_ROOT, (classKey + "\\InprocServer32").c_str(), server, &size), ERROR_SUCCESS);
  EXPECT_NE(std::string(server).find("kt_test_control.dll"), std::string::npos) << server;

  // Installed now: the next run leaves it alone.
  EXPECT_EQ(RunUpdate(Url("config.xml")), (std::vector<std::string>{"config.xml"}));
  control_.Reset();
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey.c_str());
  RunAndWait("regsvr32.exe /s /u \"" + library + "\"");
}

TEST_F(UpdateRunTest, StopDuringASlowDownloadLeavesNothingHalfDoneAndANewControlResumes) {
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"big.bin", "1.0", "", ""}}));
  const std::string big(256 * 1024, 'b');
  Serve("app/files/big.bin", big);
  StoppingSink stopper(control_.Get());
  EventConnection connection(control_.Get(), DIID__IKtQxInstaller320Events, &stopper);
  ASSERT_TRUE(connection.Connected());
  // Served slowly, so that the transfer is still running when Stop comes.
  RunUpdate(server_.Url("slow/" + site_ + "/config.xml"));
  EXPECT_TRUE(stopper.stopped_);
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "129");
  EXPECT_EQ(::GetFileAttributesA((installed_ + "big.bin").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::string download = Kt_QxpConfiguration().SetupFolder(Kt_QxpConfiguration::kPc) + "big.bin";
  EXPECT_EQ(::GetFileAttributesA(download.c_str()), INVALID_FILE_ATTRIBUTES) << "no partial download under its name";

  // The stopped object stays stopped; a new one resumes and finishes.
  EXPECT_TRUE(RunUpdate(Url("config.xml")).empty());
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "129");
  connection.Disconnect();
  control_ = kt_test::NewControl();
  ASSERT_EQ(PutText(Control(), L"Key", app_.Key()), S_OK);
  ASSERT_EQ(control_->AddAlias(kt::com::Bstr("").Get(), kt::com::Bstr(installed_).Get(), kt::com::Bstr("").Get()), S_OK);
  const auto resumed = RunUpdate(Url("config.xml"));
  EXPECT_EQ(resumed, (std::vector<std::string>{"config.xml", "components.xml", "big.bin"}));
  EXPECT_EQ(Slurp(installed_ + "big.bin"), big);
}

// This process runs elevated as an administrator with User Account Control on (Wine's default):
// rows for a non-elevated context are not for this run, neither whole lists nor single files.
TEST_F(UpdateRunTest, RowsForAnotherSecurityContextAreLeftAlone) {
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0", "true"}, {"user/components.xml", "1.0", "false"}}));
  Serve("app/components.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
                              "<param id=\"SOURCE\" type=\"STRING\">files</param>"
                              "<param id=\"ACTION\" type=\"STRING\">COPY</param></params><dataset id=\"LIST\">"
                              "<colinfo id=\"FILENAME\" type=\"STRING\"/><colinfo id=\"VERSION\" type=\"STRING\"/>"
                              "<colinfo id=\"UACFIX\" type=\"STRING\"/>"
                              "<record><FILENAME>admin.txt</FILENAME><VERSION>1</VERSION><UACFIX>1</UACFIX></record>"
                              "<record><FILENAME>user.txt</FILENAME><VERSION>1</VERSION><UACFIX>0</UACFIX></record>"
                              "</dataset></root>\n");
  Serve("app/files/admin.txt", "admin");
  Serve("app/files/user.txt", "user");
  const auto fetched = RunUpdate(Url("config.xml"));
  EXPECT_EQ(fetched, (std::vector<std::string>{"config.xml", "components.xml", "admin.txt"}));
  EXPECT_EQ(Slurp(installed_ + "admin.txt"), "admin");
  EXPECT_EQ(::GetFileAttributesA((installed_ + "user.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
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

TEST_F(UpdateRunTest, ReInstallPreVersionCompareAndTheRenameListDoWhatTheirSettingsSay) {
  // Files whose names begin with '_' placed in the executable folder are listed for renaming.
  ASSERT_EQ(PutText(Control(), L"ExecPath", installed_ + "exec"), S_OK);
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"_engine.dll", "1.0", "", "%EXECPATH%"}, {"a.txt", "1.0", "", ""}}));
  Serve("app/files/_engine.dll", "engine");
  Serve("app/files/a.txt", "alpha");
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(Slurp(installed_ + "exec\\_engine.dll"), "engine");
  EXPECT_EQ(kt_test::ReadRemembered(app_.Path(), "RenameLists"), "_engine.dll,");

  // ReInstall forgets the local records: everything is fetched and applied again.
  ASSERT_EQ(PutText(Control(), L"ReInstall", "-1"), S_OK);
  const auto again = RunUpdate(Url("config.xml"));
  EXPECT_EQ(again, (std::vector<std::string>{"config.xml", "components.xml", "_engine.dll", "a.txt"}));
  EXPECT_EQ(kt_test::ReadRemembered(app_.Path(), "RenameLists"), "_engine.dll,_engine.dll,");

  // With PreVersionCompare only the configuration's own version counts: unchanged, nothing more
  // is fetched even though a file changed on the server.
  ASSERT_EQ(PutText(Control(), L"ReInstall", "0"), S_OK);
  ASSERT_EQ(PutText(Control(), L"PreVersionCompare", "-1"), S_OK);
  Serve("app/files/a.txt", "alpha 2");
  Serve("app/components.xml", ComponentList({{"_engine.dll", "1.0", "", "%EXECPATH%"}, {"a.txt", "2.0", "", ""}}));
  EXPECT_EQ(RunUpdate(Url("config.xml")), (std::vector<std::string>{"config.xml"}));
  EXPECT_EQ(Slurp(installed_ + "a.txt"), "alpha");
}

// Lists come packed, in the binary form or in a Korean encoding; the local record of each keeps
// the form its server document came in.
TEST_F(UpdateRunTest, ListsInEveryFormAreReadAndRecordedInTheirOwnForm) {
  const std::string xml = ComponentList({{"p.txt", "1.0", "", ""}});
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  ASSERT_GT(LoadDocumentInAnyForm(reinterpret_cast<const unsigned char*>(xml.data()), xml.size(), params, datasets,
                                  form), 0);
  Kt_DocumentForm packedBinary;
  packedBinary.packing = Kt_Packer::kZlib;
  packedBinary.binary = true;
  std::vector<unsigned char> bytes;
  ASSERT_GT(SaveDocumentInForm(params, datasets, kSelectAllRecords, packedBinary, bytes), 0);
  Serve("config.xml", ConfigurationList({{"bin/components.xml", "1.0"}, {"lzss/components.xml", "1.0"}}));
  Serve("bin/components.xml", std::string(bytes.begin(), bytes.end()));
  Serve("bin/files/p.txt", "packed binary");
  const std::string second = ComponentList({{"q.txt", "1.0", "", ""}});
  std::vector<unsigned char> secondText(second.begin(), second.end()), lzss;
  ASSERT_EQ(Kt_Packer::Pack(secondText, lzss, Kt_Packer::kLzss), Kt_Packer::kOk);
  Serve("lzss/components.xml", std::string(lzss.begin(), lzss.end()));
  Serve("lzss/files/q.txt", "lzss text");

  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(Slurp(installed_ + "p.txt"), "packed binary");
  EXPECT_EQ(Slurp(installed_ + "q.txt"), "lzss text");
  // Each list's local record is packed as its server document was.
  for (const auto& expected : {std::make_pair(std::string("bin/components.xml"), Kt_Packer::kZlib),
                               std::make_pair(std::string("lzss/components.xml"), Kt_Packer::kLzss)}) {
    ASSERT_EQ(PutText(Control(), L"UpdateURL", Url(expected.first)), S_OK);
    VARIANT_BOOL ignored;
    control_->ExistVersionUpCnt(&ignored);  // names the list's local record without changing it
    const std::string record = Slurp(GetText(Control(), L"VersionLocalFile"));
    int variant = 0;
    EXPECT_TRUE(Kt_Packer::IsPacked(reinterpret_cast<const unsigned char*>(record.data()), record.size(), &variant))
        << expected.first;
    EXPECT_EQ(variant, expected.second) << expected.first;
  }
}

TEST_F(UpdateRunTest, ProgramsQueuedForAfterTheRunStayUnstartedWhenNotLaunchForErrAndAnErrorOccurred) {
  ASSERT_EQ(PutText(Control(), L"NotLaunchForErr", "-1"), S_OK);
  Serve("config.xml", ConfigurationList({{"app/components.xml", "1.0"}, {"broken/components.xml", "1.0"}}));
  Serve("app/components.xml", ComponentList({{"launch.exe", "1.0", "DOWNLAUNCH", "launch", "--later"}}));
  Serve("app/files/launch.exe", Slurp(std::string(KT_DEVICE_FIXTURES) + "\\cabhost\\ktinstlr.exe"));
  Serve("broken/components.xml", ComponentList({{"absent.txt", "1.0", "", ""}}));
  RunUpdate(Url("config.xml"));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "105");
  EXPECT_EQ(::GetFileAttributesA((installed_ + "launch\\launch.exe").c_str()) != INVALID_FILE_ATTRIBUTES, true);
  ::Sleep(1000);
  EXPECT_EQ(::GetFileAttributesA((installed_ + "launch\\ktinstlr.args").c_str()), INVALID_FILE_ATTRIBUTES);
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
  EXPECT_NE(TakePendingRenames().find("busy2.txt"), std::string::npos);
}

// Answers real message boxes of this process by clicking "No", as a person would, and counts them.
class BoxAnswerer {
 public:
  BoxAnswerer() : thread_([this] { Answer(); }) {}
  ~BoxAnswerer() {
    done_ = true;
    thread_.join();
  }
  int Answered() const { return answered_; }

 private:
  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char kind[16] = {};
    ::GetClassNameA(window, kind, sizeof kind);
    if (process == ::GetCurrentProcessId() && std::string(kind) == "#32770" && ::IsWindowVisible(window)) {
      HWND no = ::GetDlgItem(window, IDNO);
      if (no != nullptr) {
        ::PostMessageA(no, BM_CLICK, 0, 0);
        ++reinterpret_cast<BoxAnswerer*>(self)->answered_;
        ::Sleep(300);  // until the box has gone
      }
    }
    return TRUE;
  }
  void Answer() {
    while (!done_) {
      ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(this));
      ::Sleep(50);
    }
  }

  std::atomic<bool> done_{false};
  std::atomic<int> answered_{0};
  std::thread thread_;
};

TEST_F(UpdateRunTest, AFileInUseIsAskedInARealMessageBox) {
  Object().SetQuestionSeam(nullptr);
  Serve("config.xml", ConfigurationList("app/components.xml", "1.0"));
  Serve("app/components.xml", ComponentList({{"boxed.txt", "1.0", "", ""}}));
  Serve("app/files/boxed.txt", "new");
  Spit(installed_ + "boxed.txt", "old");
  kt::device::UniqueHandle held(::CreateFileA((installed_ + "boxed.txt").c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  {
    BoxAnswerer answerer;
    RunUpdate(Url("config.xml"));
    // The in-use question, then the restart question: "No" to both.
    EXPECT_EQ(answerer.Answered(), 2);
  }
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_NE(TakePendingRenames().find("boxed.txt"), std::string::npos);
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
