#include <vector>

#include "dataset/text/compare.h"
#include "dataset/text/number_text.h"
#include "dataset/values/variable.h"

namespace {

bool IsSeparator(char ch) noexcept { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }
bool IsQuote(char ch) noexcept { return ch == '"' || ch == '\''; }
bool IsDigit(char ch) noexcept { return ch >= '0' && ch <= '9'; }

// Cuts the text into tokens; quotes stay in the tokens, escapes inside quotes are resolved.
bool Tokenize(const char* text, std::vector<Kt_AString>& tokens) noexcept {
  try {
    const char* p = text;
    while (*p) {
      while (IsSeparator(*p)) ++p;
      if (!*p) break;
      Kt_AString token;
      char quote = 0;
      while (*p && (quote || !IsSeparator(*p))) {
        char ch = *p++;
        if (IsLeadByte(static_cast<unsigned char>(ch)) && *p) {
          token.Append(ch);
          token.Append(*p++);
          continue;
        }
        if (quote) {
          if (ch == quote) {
            quote = 0;
          } else if (ch == '\\' && *p) {
            char escaped = *p++;
            ch = escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
          }
        } else if (IsQuote(ch)) {
          quote = ch;
        }
        token.Append(ch);
      }
      tokens.push_back(token);
    }
  } catch (...) {
    return false;
  }
  return true;
}

// Position of the first "=" outside quotes, or npos.
std::size_t EqualsSign(const Kt_AString& token) noexcept {
  char quote = 0;
  for (std::size_t i = 0; i < token.Length(); ++i) {
    char ch = token[i];
    if (quote) {
      if (ch == quote) quote = 0;
    } else if (IsQuote(ch)) {
      quote = ch;
    } else if (ch == '=') {
      return i;
    }
  }
  return Kt_AString::npos;
}

Kt_Variant ValueOf(const Kt_AString& text) noexcept {
  std::size_t length = text.Length();
  if (length > 0 && IsQuote(text[0])) {
    std::size_t end = (length >= 2 && text[length - 1] == text[0]) ? length - 1 : length;
    return Kt_Variant::FromString(text.Mid(1, end - 1));
  }
  std::size_t i = (length > 0 && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  std::size_t digits = 0;
  std::size_t points = 0;
  for (; i < length; ++i) {
    if (IsDigit(text[i])) {
      ++digits;
    } else if (text[i] == '.') {
      ++points;
    } else {
      break;
    }
  }
  if (i == length && digits > 0 && points == 0) {
    double number = TextToDouble(text);
    if (number >= -2147483648.0 && number <= 2147483647.0) return Kt_Variant::FromInt(TextToInt(text));
  }
  if (i == length && digits > 0 && points == 1) return Kt_Variant::FromDouble(TextToDouble(text));
  return Kt_Variant::FromString(text);
}

}  // namespace

int Kt_ParamList::ParseParamString(const char* text) noexcept {
  Clear();
  if (!text) return -1;
  std::vector<Kt_AString> tokens;
  if (!Tokenize(text, tokens)) return Count();
  std::size_t count = tokens.size();
  for (std::size_t i = 0; i < count; ++i) {
    const Kt_AString& token = tokens[i];
    std::size_t sign = EqualsSign(token);
    Kt_AString name;
    Kt_AString value;
    if (sign != Kt_AString::npos) {
      name = token.Left(sign);
      value = token.Mid(sign + 1);
    } else if (i + 1 < count && tokens[i + 1].At(0) == '=') {
      name = token;
      if (tokens[i + 1].Length() > 1) {
        value = tokens[++i].Mid(1);
      } else {
        ++i;
        if (i + 1 < count) value = tokens[++i];
      }
    } else {
      continue;  // a word without a value
    }
    if (name.IsEmpty()) continue;
    Set(name, ValueOf(value));
  }
  return Count();
}
