#pragma once
// Hands the option record to the control as its properties, by DISPID, in the order the control
// expects (version and device kind before the key, the key before what is remembered under it).
#include <windows.h>
#include <oaidl.h>

#include "updater/options/runner_helper.h"

namespace kt::updater {

// The control's members the updater uses.
enum ControlMember : DISPID {
  kStartDownload = 2,
  kStop = 6,
  kTop = 8,
  kLeft = 9,
  kWidth = 10,
  kHeight = 11,
  kOnlyOne = 12,
  kResource = 13,
  kKey = 14,
  kStartXML = 15,
  kGlobalVal = 16,
  kVersion = 17,
  kExeName = 18,
  kUpdateURL = 19,
  kComponentPath = 20,
  kRun = 21,
  kParseQRDFile = 22,
  kLaunch = 23,
  kReInstall = 24,
  kDeviceType = 25,
  kUResource = 26,
  kUpdateHandle = 28,
  kExistVersionUpCnt = 29,
  kRetry = 30,
  kTimeOut = 31,
  kPreVersionCompare = 32,
  kStartImage = 33,
  kExecPath = 34,
  kScroll = 36,
  kSiteKey = 37,
  kNotLaunchForErr = 39,
  kUpdateKillQuorix = 40,
};

void PutOptions(IDispatch* control, const Kt_RunnerHelper& options);

HRESULT PutText(IDispatch* control, DISPID member, const std::string& text);
// Reads a boolean property; false when the call fails.
bool ReadBool(IDispatch* control, DISPID member);
// Asks the control whether anything needs updating (its answer comes back through an out
// argument); false when the call fails.
bool ExistVersionUpCnt(IDispatch* control);

}  // namespace kt::updater
