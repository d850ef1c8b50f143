#include "engine/core/item_action.h"

namespace kt::engine {

namespace {

struct ActionKeyword {
  std::string_view keyword;
  ItemAction action;
};

constexpr ActionKeyword kKeywords[] = {
    {"DOWNREG", kActionRegister},  {"DOWNRUN", kActionRun},       {"EXTRACT", kActionExtract},
    {"CeCab", kActionCabinet},     {"DELETE", kActionDelete},     {"DELETEREG", kActionDeleteRegistered},
    {"DOWNLAUNCH", kActionLaunch}, {"MSI", kActionInstaller},     {"MSI_", kActionDeferredInstaller},
};

char FoldAscii(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

}  // namespace

bool IsKeyword(std::string_view text, std::string_view keyword) {
  if (text.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (FoldAscii(text[i]) != FoldAscii(keyword[i])) return false;
  }
  return true;
}

ItemAction ActionOf(std::string_view keyword) {
  for (const ActionKeyword& entry : kKeywords) {
    if (IsKeyword(keyword, entry.keyword)) return entry.action;
  }
  return kActionCopy;
}

}  // namespace kt::engine
