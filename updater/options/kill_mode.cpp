#include "updater/options/kill_mode.h"

#include "updater/options/option_text.h"

namespace kt::updater {
namespace {

struct KillModeName {
  int mode;
  const char* text;
  const char* number;
};

constexpr KillModeName kKillModeNames[] = {
    {kKillModeKill, "KILL", "1"},
    {kKillModeNoKill, "NOKILL", "2"},
    {kKillModeConfirmOnFailed, "CONFIRMONFAILED", "3"},
};

}  // namespace

int KillModeFromText(const std::string& text) {
  std::string word = TrimWhiteSpace(text);
  for (char& ch : word) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  for (const KillModeName& name : kKillModeNames) {
    if (word == name.text || word == name.number) return name.mode;
  }
  return kKillModeNone;
}

std::string KillModeText(int mode) {
  for (const KillModeName& name : kKillModeNames) {
    if (mode == name.mode) return name.text;
  }
  return std::string();
}

}  // namespace kt::updater
