#include "engine/core/component_item.h"

#include "dataset/values/variable.h"
#include "engine/core/list_columns.h"

namespace kt::engine {

std::int32_t DeviceKindOf(const Kt_AString& text, std::int32_t emptyKind) {
  if (text.IsEmpty()) return emptyKind;
  for (const char* pcKind : {"WIN32", "WIN32U", "SIM", "SIMU"}) {
    if (text.CompareNoCase(pcKind) == 0) return kDevicePc;
  }
  return kDeviceCe;
}

ComponentItem ReadDefaultItem(const Kt_ParamList& parameters, std::int32_t currentDeviceKind) {
  ComponentItem item;
  auto read = [&parameters](const char* name, Kt_AString& field) {
    if (const Kt_Variable* parameter = parameters.Find(name)) field = parameter->value.ToString();
  };
  Kt_AString device;
  read(kColumnDevice, device);
  item.device = DeviceKindOf(device, currentDeviceKind);
  read(kColumnSource, item.source);
  read(kColumnTarget, item.target);
  read(kColumnFileName, item.fileName);
  read(kColumnVersion, item.version);
  read(kColumnAction, item.action);
  read(kColumnArgument, item.argument);
  read(kColumnStatus, item.status);
  read(kColumnOldVersion, item.oldVersion);
  read(kColumnPatchFileName, item.patchFileName);
  read(kColumnUacFix, item.uacFix);
  return item;
}

void DeriveAction(ComponentItem& item) {
  item.actionCode = ActionOf(std::string_view(item.action.c_str(), item.action.Length()));
  item.plainTarget = item.target.At(0) != '{';
  if (!item.plainTarget && item.actionCode == kActionCopy) item.actionCode = kActionCabinet;
}

const Kt_AString& ItemKey(const ComponentItem& item, bool configurationList) {
  if (configurationList) return item.source;
  return IsInstallerAction(item.actionCode) ? item.target : item.fileName;
}

}  // namespace kt::engine
