#pragma once
// One row of a component or configuration list as the engine works with it, and the list's
// default item built from its parameters.
#include <cstdint>

#include "dataset/text/astring.h"
#include "engine/core/item_action.h"

class Kt_ParamList;

namespace kt::engine {

// Device kinds of an item: the PC or a Windows CE device.
constexpr std::int32_t kDevicePc = 0;
constexpr std::int32_t kDeviceCe = 1;

struct ComponentItem {
  std::int32_t device = kDevicePc;
  Kt_AString source;
  Kt_AString target;
  Kt_AString fileName;
  Kt_AString version;
  Kt_AString action;
  Kt_AString status;
  Kt_AString argument;
  Kt_AString oldVersion;
  Kt_AString patchFileName;
  Kt_AString uacFix;
  ItemAction actionCode = kActionCopy;
  bool plainTarget = true;  // false when TARGET is a class identifier ("{...}")
};

// The device kind a DEVICE text names: "CE" and any text other than "WIN32", "WIN32U", "SIM" and
// "SIMU" (without regard to case) are the CE device, those four the PC; an empty text gives
// `emptyKind`.
std::int32_t DeviceKindOf(const Kt_AString& text, std::int32_t emptyKind);

// The list-level defaults: every column's parameter of the same name; an absent parameter leaves
// the field empty. The device kind is that of the parameter DEVICE, or `currentDeviceKind` (the
// configuration's current kind) when there is none; an empty DEVICE cell therefore always means
// the current device, with or without parameters.
ComponentItem ReadDefaultItem(const Kt_ParamList& parameters, std::int32_t currentDeviceKind);

// Derives the action code from ACTION and the plain-target flag from TARGET: a TARGET that
// begins with '{' is a class identifier, and a plain copy to one installs that class (code 5).
void DeriveAction(ComponentItem& item);

// The key that finds an item's row in another copy of its list: SOURCE in a configuration list,
// TARGET (the product code) for Windows Installer items, else FILENAME.
const Kt_AString& ItemKey(const ComponentItem& item, bool configurationList);

}  // namespace kt::engine
