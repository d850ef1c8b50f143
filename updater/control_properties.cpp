#include "updater/control_properties.h"

#include "control/com/bstr.h"
#include "control/com/dispatch_call.h"
#include "control/com/variant.h"
#include "updater/options/kill_mode.h"
#include "updater/options/option_values.h"

namespace kt::updater {
namespace {

void PutTextWhenGiven(IDispatch* control, DISPID member, const std::string& text) {
  if (!text.empty()) PutText(control, member, text);
}

void PutNumberWhenGiven(IDispatch* control, DISPID member, const std::string& text) {
  if (!text.empty()) kt::com::PutProperty(control, member, kt::com::LongValue(LeadingNumber(text)));
}

void PutBool(IDispatch* control, DISPID member, bool value) {
  kt::com::PutProperty(control, member, kt::com::BoolValue(value));
}

}  // namespace

HRESULT PutText(IDispatch* control, DISPID member, const std::string& text) {
  kt::com::Bstr value(text);
  return kt::com::PutProperty(control, member, kt::com::BorrowedBstr(value.Get()));
}

bool ReadBool(IDispatch* control, DISPID member) {
  kt::com::Variant value;
  if (FAILED(kt::com::GetProperty(control, member, value.Get()))) return false;
  if (FAILED(::VariantChangeType(value.Get(), value.Get(), 0, VT_BOOL))) return false;
  return V_BOOL(value.Get()) != VARIANT_FALSE;
}

bool ExistVersionUpCnt(IDispatch* control) {
  VARIANT_BOOL exists = VARIANT_FALSE;
  if (FAILED(kt::com::InvokeMethod(control, kExistVersionUpCnt, {kt::com::ByRef(VT_BOOL, &exists)}))) return false;
  return exists != VARIANT_FALSE;
}

void PutOptions(IDispatch* control, const Kt_RunnerHelper& options) {
  PutText(control, kVersion, options.Version);
  PutText(control, kDeviceType, options.DeviceType);
  PutTextWhenGiven(control, kSiteKey, options.SiteKey);
  PutText(control, kKey, options.Key);
  PutTextWhenGiven(control, kStartXML, options.StartXML);
  PutTextWhenGiven(control, kUpdateURL, options.UpdateURL);
  PutTextWhenGiven(control, kComponentPath, options.ComponentPath);
  PutTextWhenGiven(control, kExecPath, options.ExecPath);
  PutTextWhenGiven(control, kExeName, options.ExeName);
  PutBool(control, kReInstall, IsTrueText(options.ReInstall));
  PutBool(control, kLaunch, !IsFalseText(options.Launch));
  PutBool(control, kNotLaunchForErr, IsTrueText(options.NotLaunchForErr));
  if (IsTrueText(options.PreVersionCompare)) PutBool(control, kPreVersionCompare, true);
  PutTextWhenGiven(control, kUResource, options.UResource);
  if (options.KillMode != kKillModeNone) PutText(control, kUpdateKillQuorix, KillModeText(options.KillMode));
  PutNumberWhenGiven(control, kLeft, options.Left);
  PutNumberWhenGiven(control, kTop, options.Top);
  PutTextWhenGiven(control, kWidth, options.Width);
  PutTextWhenGiven(control, kHeight, options.Height);
  PutTextWhenGiven(control, kStartImage, options.StartImage);
  PutTextWhenGiven(control, kScroll, options.Scroll);
  PutTextWhenGiven(control, kResource, options.Resource);
  PutTextWhenGiven(control, kGlobalVal, options.GlobalVal);
  if (!options.OnlyOne.empty()) PutBool(control, kOnlyOne, IsTrueText(options.OnlyOne));
  PutNumberWhenGiven(control, kRetry, options.Retry);
  PutNumberWhenGiven(control, kTimeOut, options.TimeOut);
}

}  // namespace kt::updater
