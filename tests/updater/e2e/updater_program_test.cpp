// QxUpdater320.exe as a whole program under Wine against a local nginx (started by the CTest
// fixture): started with options or on a launch description, it hosts the registered control,
// installs the sample server tree, and starts a stand-in platform that records its command line.
// Message boxes are answered by the box answerer; every process has a time limit.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/unique_handle.h"
#include "nginx_fixture.h"
#include "tests/device/support/device_test_support.h"

namespace {

using kt::device::UniqueHandle;
using kt::device::test::ChildProcess;
using kt::device::test::Exists;
using kt::device::test::ReadText;
using kt::device::test::ScratchFolder;
using kt::device::test::WriteText;

constexpr DWORD kUpdaterTimeLimitMs = 120000;
constexpr DWORD kAnswererTimeLimitMs = 90000;

struct Outcome {
  int exitCode = -1000;  // -1000: not started; -2000: ended at the time limit
  std::string boxes;     // "CAPTION|TEXT" of every box answered
  bool answered = true;  // the answerer did all its steps
};

// A started updater: suspended first, so that a box answerer knows its process before any box.
class UpdaterProcess {
 public:
  UpdaterProcess(const std::string& program, const std::string& arguments, const std::string& folder = "") {
    std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                         folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
      process_.Reset(started.hProcess);
      thread_.Reset(started.hThread);
      id_ = started.dwProcessId;
    }
  }
  ~UpdaterProcess() {
    if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.Get(), 1);
  }
  UpdaterProcess(const UpdaterProcess&) = delete;
  UpdaterProcess& operator=(const UpdaterProcess&) = delete;

  bool Started() const { return process_.Valid(); }
  DWORD Id() const { return id_; }
  void Resume() { ::ResumeThread(thread_.Get()); }
  bool Running() const { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
  // The exit code, or -2000 when the time limit ended it.
  int Wait() {
    if (::WaitForSingleObject(process_.Get(), kUpdaterTimeLimitMs) != WAIT_OBJECT_0) {
      ::TerminateProcess(process_.Get(), 1);
      return -2000;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return static_cast<int>(code);
  }

 private:
  UniqueHandle process_;
  UniqueHandle thread_;
  DWORD id_ = 0;
};

// The box answerer for one process (see tests/bootstrap/fixtures/box_answerer.cpp).
class Answerer {
 public:
  Answerer(DWORD processId, const std::vector<std::string>& steps)
      : record_(folder_ / "boxes.txt"),
        child_(Command(record_, processId, steps)) {}
  // Waits for the answerer; fills the outcome's boxes and answered.
  void Collect(Outcome& outcome) {
    DWORD code = 1;
    if (child_.WaitForExit(kAnswererTimeLimitMs)) ::GetExitCodeProcess(child_.Handle(), &code);
    outcome.answered = code == 0;
    outcome.boxes = ReadText(record_);
  }

 private:
  static std::string Command(const std::string& record, DWORD processId, const std::vector<std::string>& steps) {
    std::string command = "\"" KT_BOX_ANSWERER "\" \"" + record + "\" " + std::to_string(kAnswererTimeLimitMs - 5000) +
                          " " + std::to_string(processId);
    for (const std::string& step : steps) command += " \"" + step + "\"";
    return command;
  }
  ScratchFolder folder_;
  std::string record_;
  ChildProcess child_;
};

Outcome RunUpdater(const std::string& arguments, const std::vector<std::string>& steps = {},
                   const std::string& program = KT_UPDATER, const std::string& folder = "") {
  Outcome outcome;
  UpdaterProcess updater(program, arguments, folder);
  if (!updater.Started()) return outcome;
  if (steps.empty()) {
    updater.Resume();
    outcome.exitCode = updater.Wait();
    return outcome;
  }
  Answerer answerer(updater.Id(), steps);
  updater.Resume();
  outcome.exitCode = updater.Wait();
  answerer.Collect(outcome);
  return outcome;
}

struct UpdaterWindow {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindUpdaterWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<UpdaterWindow*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  char kind[16] = {0};
  ::GetClassNameA(window, kind, sizeof kind);
  if (owner != search->processId || std::string(kind) != "#32770" || !::IsWindowVisible(window)) return TRUE;
  if (::GetDlgItem(window, 300) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

// The updater's visible dialog, waited for at most 60 s.
HWND WaitForDialog(DWORD processId) {
  for (int i = 0; i < 600; ++i) {
    UpdaterWindow search{processId, nullptr};
    ::EnumWindows(&FindUpdaterWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    ::Sleep(100);
  }
  return nullptr;
}

class UpdaterProgramTest : public ::testing::Test {
 protected:
  // The updater creates the control by its class: the library is registered for these tests.
  static void SetUpTestSuite() {
    ASSERT_EQ(kt::device::test::RunToEnd("regsvr32.exe /s \"" KT_CONTROL_DLL "\"", 60000), 0);
  }
  static void TearDownTestSuite() {
    kt::device::test::RunToEnd("regsvr32.exe /s /u \"" KT_CONTROL_DLL "\"", 60000);
    RemoveSampleComponents();
  }

  // What the sample's components leave in the shared prefix: their files, their download copies
  // and what they register about themselves.
  static void RemoveSampleComponents() {
    char profile[MAX_PATH] = {0};
    if (::GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH) == 0) return;
    const std::string local = std::string(profile) + "\\AppData\\Local\\ORVANTIS\\Quorix320\\";
    const std::string setup = std::string(profile) + "\\AppData\\LocalLow\\ORVANTIS\\Quorix320\\Setup\\WIN32_3.2\\";
    for (const char* file : {"QxGrid32.dll", "QxChart32.dll", "forms.qrd2"}) ::DeleteFileA((setup + file).c_str());
    for (const char* file : {"Component\\QxGrid32.dll", "Component\\QxChart32.dll", "forms\\forms.qrd2"}) {
      ::DeleteFileA((local + file).c_str());
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ORVANTIS\\Samples");
  }

  void SetUp() override {
    ASSERT_TRUE(server_.Ready()) << server_.Problem();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = std::string("KtUpdE2E") + test->name();
    ASSERT_TRUE(::CopyFileA(KT_PLATFORM_STUB, (platform_ / "KtPlatform.exe").c_str(), FALSE));
    ServeSample(name_);
  }

  void TearDown() override {
    for (const char* base : {"Software\\AppDataLow\\SoftWare\\ORVANTIS\\Quorix320\\", "Software\\ORVANTIS\\Quorix320\\"}) {
      ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(base) + name_).c_str());
    }
    RemoveVersionRecords();
  }

  // The sample server tree under ROOT/<folder>/, so that each test has lists of its own.
  void ServeSample(const std::string& folder) {
    const std::string root = std::string(KT_UPDATER_ROOT) + "\\" + folder + "\\";
    for (const char* sub : {"", "win32\\", "win32\\bin\\", "win32\\data\\"}) ::CreateDirectoryA((root + sub).c_str(), nullptr);
    for (const char* file : {"config.xml", "win32\\components.xml", "win32\\bin\\QxGrid32.dll",
                             "win32\\bin\\QxChart32.dll", "win32\\data\\forms.qrd2"}) {
      ASSERT_TRUE(::CopyFileA((std::string(KT_SAMPLE_TREE) + "\\" + file).c_str(), (root + file).c_str(), FALSE))
          << file;
    }
  }

  // The local version records the control made for this test's lists (named after their URL).
  void RemoveVersionRecords() {
    char local[MAX_PATH] = {0};
    if (::GetEnvironmentVariableA("USERPROFILE", local, MAX_PATH) == 0) return;
    const std::string folder = std::string(local) + "\\AppData\\LocalLow\\ORVANTIS\\Quorix320\\Ver\\";
    WIN32_FIND_DATAA found;
    kt::device::UniqueFindHandle search(::FindFirstFileA((folder + "*" + name_ + "*").c_str(), &found));
    if (!search) return;
    do {
      ::DeleteFileA((folder + found.cFileName).c_str());
    } while (::FindNextFileA(search.Get(), &found));
  }

  std::string Options(const std::string& list, const std::string& more = "") const {
    return "-D WIN32 -V 3.2 -K " + name_ + " -U " + server_.Url(list) + " -UKM NOKILL -EP \"" + platform_.Path() +
           "\" -E KtPlatform.exe " + more;
  }
  std::string PlatformRecord() const { return ReadText(platform_ / "platform.record"); }
  bool Fetched(std::uint64_t mark, const std::string& tail) const {
    for (const kt_test::ServedRequest& request : server_.RequestsSince(mark)) {
      if (request.uri.size() >= tail.size() && request.uri.compare(request.uri.size() - tail.size(), tail.size(), tail) == 0) {
        return true;
      }
    }
    return false;
  }

  kt_test::NginxFixture server_ = kt_test::NginxFixture::FromEnvironment();
  ScratchFolder platform_;
  std::string name_;
};

TEST_F(UpdaterProgramTest, OptionModeInstallsAndStartsThePlatformThenFindsNothingToUpdate) {
  std::uint64_t mark = server_.LogMark();
  Outcome first = RunUpdater(Options(name_ + "/config.xml", "-L TRUE"));
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_TRUE(Fetched(mark, name_ + "/win32/bin/QxGrid32.dll"));
  EXPECT_TRUE(Fetched(mark, name_ + "/win32/bin/QxChart32.dll"));
  const std::string record = PlatformRecord();
  EXPECT_NE(record.find("KtPlatform.exe\" -K '" + name_ + ";"), std::string::npos) << record;

  ::DeleteFileA((platform_ / "platform.record").c_str());
  mark = server_.LogMark();
  Outcome second = RunUpdater(Options(name_ + "/config.xml", "-L TRUE"));
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_TRUE(Fetched(mark, name_ + "/config.xml"));
  EXPECT_FALSE(Fetched(mark, ".dll"));
  EXPECT_NE(PlatformRecord().find("-K '" + name_ + ";"), std::string::npos);
}

TEST_F(UpdaterProgramTest, LaunchDescriptionModeAsTheShellStartsIt) {
  ScratchFolder downloads;
  const std::string file = downloads / "Sample Forms.QRD2";
  ASSERT_TRUE(WriteText(file,
      "<?xml version='1.0' encoding='utf-8'?>\n<root><dataset id='WIN32'>"
      "<colinfo id='Key' size='255' type='STRING'/><colinfo id='Version' size='255' type='STRING'/>"
      "<colinfo id='UpdateURL' size='255' type='STRING'/><colinfo id='EXECPATH' size='255' type='STRING'/>"
      "<colinfo id='ExeName' size='255' type='STRING'/><colinfo id='UPDATEKILLQXP' size='255' type='STRING'/>"
      "<record><Key>" + name_ + "</Key><Version>3.2</Version><UpdateURL>" + server_.Url(name_ + "/config.xml") +
      "</UpdateURL><EXECPATH>" + platform_.Path() + "</EXECPATH><ExeName>KtPlatform.exe</ExeName>"
      "<UPDATEKILLQXP>NOKILL</UPDATEKILLQXP></record></dataset></root>"));
  // A library of the default name beside the file, in the current folder, is not loaded.
  ASSERT_TRUE(::CopyFileA(KT_SKIN_SAMPLE, (downloads / "SKINPACK.DLL").c_str(), FALSE));
  const std::uint64_t mark = server_.LogMark();
  Outcome outcome = RunUpdater("\"" + file + "\"", {}, KT_UPDATER, downloads.Path());
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_TRUE(Fetched(mark, name_ + "/win32/bin/QxGrid32.dll"));
  EXPECT_NE(PlatformRecord().find("-K '" + name_ + ";"), std::string::npos) << PlatformRecord();
  EXPECT_FALSE(Exists(downloads / "skin.log"));
}

TEST_F(UpdaterProgramTest, AnErrorIsShownAndNoLaunchAfterErrorDecidesTheStart) {
  const std::string refused = server_.RefusedUrl("config.xml");
  const std::string missing = server_.Url("status/404/" + name_ + "/config.xml");
  const struct {
    std::string list;
    const char* more;
    bool started;
  } cases[] = {
      {refused, "-L TRUE", true},
      {refused, "-L TRUE -NLE TRUE", false},
      {missing, "-L TRUE", true},
      {missing, "-L TRUE -NLE TRUE", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list + " " + c.more);
    ::DeleteFileA((platform_ / "platform.record").c_str());
    std::string arguments = Options("unused", c.more);
    arguments.replace(arguments.find(server_.Url("unused")), server_.Url("unused").size(), c.list);
    Outcome outcome = RunUpdater(arguments, {"Error=1"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.answered);
    // The file line, then the control's own message for its error number.
    EXPECT_EQ(outcome.boxes, "Error|FileName [" + c.list +
                                 "] \nErrorMsg [Failure bring update information because of network or server error.]\n\n");
    EXPECT_EQ(Exists(platform_ / "platform.record"), c.started);
  }
}

TEST_F(UpdaterProgramTest, AnUnusableCommandLineShowsTheInputErrorAndStartsNothing) {
  const struct {
    std::string arguments;
    std::string step;  // the box expected: caption and its OK button
  } cases[] = {
      {"", "Quorix3=1"},         // the program path alone
      {"/dde", "Quorix3=1"},     // the shell's DDE switch
      {"-D WIN32 -V 3.2 -U " + server_.Url(name_ + "/config.xml") + " -L TRUE -EP \"" + platform_.Path() +
           "\" -E KtPlatform.exe",
       "Error=1"},  // no key: the dialog refuses to run
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const std::uint64_t mark = server_.LogMark();
    Outcome outcome = RunUpdater(c.arguments, {c.step});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.answered);
    EXPECT_NE(outcome.boxes.find("|Input error.\n QxUpdater320.exe [Device] [option:ReInstall] [Key]"), std::string::npos)
        << outcome.boxes;
    EXPECT_TRUE(server_.RequestsSince(mark).empty());
    EXPECT_FALSE(Exists(platform_ / "platform.record"));
  }
}

TEST_F(UpdaterProgramTest, CancelAskedNoGoesOnAndYesStopsTheRun) {
  const std::uint64_t mark = server_.LogMark();
  Outcome outcome = RunUpdater(Options("slow/" + name_ + "/config.xml", "-L FALSE"),
                               {"@updater=2", "Confirm=7", "@updater=2", "Confirm=6"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_TRUE(outcome.answered);
  EXPECT_EQ(outcome.boxes, "@updater|\nConfirm|Would you like to cancel it?\n@updater|\nConfirm|Would you like to cancel it?\n");
  EXPECT_FALSE(Fetched(mark, ".dll"));
  EXPECT_FALSE(Exists(platform_ / "platform.record"));
}

TEST_F(UpdaterProgramTest, ASecondInstanceEndsSilentlyWhileTheFirstRuns) {
  UpdaterProcess first(KT_UPDATER, Options("slow/" + name_ + "/config.xml", "-L FALSE"));
  ASSERT_TRUE(first.Started());
  first.Resume();
  ASSERT_NE(WaitForDialog(first.Id()), nullptr);
  Outcome second = RunUpdater(Options(name_ + "/config.xml", "-L TRUE"));
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_TRUE(first.Running());
  EXPECT_FALSE(Exists(platform_ / "platform.record"));
  Answerer answerer(first.Id(), {"@updater=2", "Confirm=6"});
  EXPECT_EQ(first.Wait(), 0);
  Outcome answered;
  answerer.Collect(answered);
  EXPECT_TRUE(answered.answered);
}

TEST_F(UpdaterProgramTest, TheLayoutFollowsTheBackgroundSize) {
  const struct {
    const char* background;
    int width;
    int height;
    RECT overall;
    RECT button;
    RECT status;
  } cases[] = {
      {"", 240, 100, {7, 29, 173, 36}, {177, 29, 232, 50}, {4, 64, 236, 96}},
      {KT_LARGE_BACKGROUND, 250, 300, {6, 200, 188, 211}, {193, 199, 240, 229}, {4, 172, 245, 196}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.background);
    std::string more = "-L FALSE";
    if (*c.background != '\0') more += std::string(" -BI \"") + c.background + "\"";
    UpdaterProcess updater(KT_UPDATER, Options("slow/" + name_ + "/config.xml", more));
    ASSERT_TRUE(updater.Started());
    updater.Resume();
    HWND dialog = WaitForDialog(updater.Id());
    ASSERT_NE(dialog, nullptr);
    RECT window;
    ::GetWindowRect(dialog, &window);
    EXPECT_EQ(window.right - window.left, c.width + 2 * ::GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(window.bottom - window.top, c.height + 2 * ::GetSystemMetrics(SM_CYBORDER));
    const std::pair<int, RECT> places[] = {{301, c.overall}, {2, c.button}, {302, c.status}};
    for (const auto& place : places) {
      RECT rect;
      ::GetWindowRect(::GetDlgItem(dialog, place.first), &rect);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
      EXPECT_EQ(rect.left, place.second.left) << place.first;
      EXPECT_EQ(rect.top, place.second.top) << place.first;
      EXPECT_EQ(rect.right, place.second.right) << place.first;
      EXPECT_EQ(rect.bottom, place.second.bottom) << place.first;
    }
    Answerer answerer(updater.Id(), {"@updater=2", "Confirm=6"});
    EXPECT_EQ(updater.Wait(), 0);
    Outcome answered;
    answerer.Collect(answered);
  }
}

TEST_F(UpdaterProgramTest, TheResourceLibraryBesideTheProgramTakesOverErrors) {
  ScratchFolder program;
  ASSERT_TRUE(::CopyFileA(KT_UPDATER, (program / "QxUpdater320.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(KT_SKIN_SAMPLE, (program / "SKINPACK.DLL").c_str(), FALSE));
  ::SetEnvironmentVariableA("KT_SKIN_HANDLE", "1");
  std::string arguments = Options("unused", "-L FALSE");
  arguments.replace(arguments.find(server_.Url("unused")), server_.Url("unused").size(),
                    server_.RefusedUrl("config.xml"));
  // No box: the library handles the error and the dialog closes; the end still lets the library
  // know ("LoadQuorix") before it is unloaded.
  Outcome outcome = RunUpdater(arguments, {}, program / "QxUpdater320.exe");
  ::SetEnvironmentVariableA("KT_SKIN_HANDLE", nullptr);
  EXPECT_EQ(outcome.exitCode, 0);
  const std::string log = ReadText(program / "skin.log");
  EXPECT_EQ(log.find("Load\nInitDLG -1 1 window\n"), 0u) << log;
  EXPECT_NE(log.find("OnError " + server_.RefusedUrl("config.xml") +
                     "|102|Failure bring update information because of network or server error.\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("LoadQuorix\n"), std::string::npos) << log;
  EXPECT_EQ(log.size() - log.rfind("UnLoad\n"), 7u) << log;
}

// A running platform makes the control ask through OnConfirm: the dialog asks the person (here:
// Cancel, so it keeps running), or the resource library answers (here: 1, so it is ended).
TEST_F(UpdaterProgramTest, ARunningPlatformIsAskedAboutOrAnsweredByTheLibrary) {
  ScratchFolder program;
  ASSERT_TRUE(::CopyFileA(KT_UPDATER, (program / "QxUpdater320.exe").c_str(), FALSE));
  ASSERT_TRUE(::CopyFileA(KT_SKIN_SAMPLE, (program / "SKINPACK.DLL").c_str(), FALSE));
  // Any long-running program will do as the platform: the box answerer waiting for a box that
  // never comes.
  const std::string running = platform_ / "KtPlatform.exe";
  ASSERT_TRUE(::CopyFileA(KT_BOX_ANSWERER, running.c_str(), FALSE));
  // The control asks only when it has something to install: each case has lists of its own.
  const struct {
    bool library;
    const char* folder;
    std::vector<std::string> steps;
    bool platformEnded;
  } cases[] = {
      {false, "Person", {"Confirm=2"}, false},
      {true, "Library", {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    ServeSample(name_ + c.folder);
    const std::string arguments = "-D WIN32 -V 3.2 -K " + name_ + " -U " + server_.Url(name_ + c.folder + "/config.xml") +
                                  " -L FALSE -EP \"" + platform_.Path() + "\" -E KtPlatform.exe";
    ChildProcess platform("\"" + running + "\" NUL 60000 0 never=1");
    ASSERT_TRUE(platform.Valid());
    if (c.library) ::SetEnvironmentVariableA("KT_SKIN_HANDLE", "1");
    Outcome outcome = RunUpdater(arguments, c.steps, c.library ? program / "QxUpdater320.exe" : std::string(KT_UPDATER));
    ::SetEnvironmentVariableA("KT_SKIN_HANDLE", nullptr);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.answered);
    if (c.library) {
      EXPECT_EQ(outcome.boxes, "");
      EXPECT_NE(ReadText(program / "skin.log").find("OnConfirm 1\n"), std::string::npos) << ReadText(program / "skin.log");
    } else {
      EXPECT_EQ(outcome.boxes,
                "Confirm|Would you like to terminate the current file automatically and continue to update it?\n");
    }
    EXPECT_EQ(platform.WaitForExit(c.platformEnded ? 10000 : 0), c.platformEnded);
  }
}

}  // namespace
