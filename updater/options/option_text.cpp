#include "updater/options/option_text.h"

namespace kt::updater {
namespace {

bool IsWhiteSpace(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

char LowerAscii(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

}  // namespace

std::string TrimWhiteSpace(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsProgramPath(const std::string& token) {
  std::string lower = token;
  for (char& ch : lower) ch = LowerAscii(ch);
  return lower.find(".exe") != std::string::npos;
}

}  // namespace kt::updater
