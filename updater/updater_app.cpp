#include "updater/updater_app.h"

#include <commctrl.h>
#include <ole2.h>

#include "config/path_text.h"
#include "config/qxp_configuration.h"
#include "device/com_ptr.h"
#include "resources/updater/updater_resource.h"
#include "updater/options/command_line_tokenizer.h"
#include "updater/options/option_text.h"
#include "updater/start_argument.h"
#include "updater/updater_dialog.h"
#include "updater/updater_texts.h"
#include "updater/user_prompt.h"
#include "updater/wait_cursor.h"

namespace kt::updater {

const char kSingleInstanceMutex[] = "QXUpdater_ONCE_MUTEX";

namespace {


// The shell's DDE switch ("/dde" or "-dde" as an argument of its own, any letter case), which
// asks the program to wait for a DDE conversation it does not hold.
bool IsDdeRequest(const std::string& commandLine) {
  Kt_CommandLineTokenizer tokenizer;
  std::string token;
  for (bool more = tokenizer.Next(commandLine.c_str(), token); more; more = tokenizer.Next(nullptr, token)) {
    const std::string word = TrimWhiteSpace(token);
    if (kt::EqualsNoCase(word, "/dde") || kt::EqualsNoCase(word, "-dde")) return true;
  }
  return false;
}

}  // namespace

CQxUpdatrApp::CQxUpdatrApp(HINSTANCE instance, UpdaterPrompt& prompt)
    : instance_(instance), prompt_(prompt), configuration_(std::make_unique<Kt_QxpConfiguration>()) {}

CQxUpdatrApp::~CQxUpdatrApp() { ExitInstance(); }

bool CQxUpdatrApp::Prepare(const std::string& commandLine) {
  std::string argument;
  if (!StartArgument(commandLine, argument)) return false;
  if (IsLaunchDescriptionPath(argument)) {
    values_.launchDescriptionPath = argument;
    ScanLaunchDescription(argument, values_, *configuration_);
  } else {
    PrepareOptionMode(commandLine, values_, *configuration_);
  }
  NormaliseLibraryNames(values_);
  return true;
}

bool CQxUpdatrApp::InitInstance(const std::string& commandLine) {
  kt::device::ComApartment ole;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  {
    WaitCursor wait;
    mutex_.Reset(::CreateMutexA(nullptr, TRUE, kSingleInstanceMutex));
    if (mutex_.Valid() && ::GetLastError() == ERROR_ALREADY_EXISTS) return false;
    if (IsDdeRequest(commandLine) || !Prepare(commandLine)) {
      prompt_.Show(nullptr, ResourceString(IDS_QXUPDATER_INPUT_ERROR), kApplicationName, MB_OK);
      return false;
    }
    if (library_.LoadFirst(ResourceLibraryCandidates(values_, ProgramFolder()))) {
      SetResourceModule(library_.Module());
    }
  }
  CQxUpdaterDlg dialog(values_, library_, prompt_);
  dialog.DoModal(instance_);
  return false;
}

int CQxUpdatrApp::ExitInstance() {
  configuration_.reset();
  SetResourceModule(nullptr);
  library_.Free();
  mutex_.Reset();
  return 0;
}

}  // namespace kt::updater
