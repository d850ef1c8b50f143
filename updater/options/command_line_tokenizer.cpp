#include "updater/options/command_line_tokenizer.h"

#include "updater/options/option_text.h"

bool Kt_CommandLineTokenizer::Next(const char* text, std::string& token) {
  if (text != nullptr) {
    text_ = text;
    position_ = 0;
  }
  token.clear();
  bool quoted = false;
  while (position_ < text_.size()) {
    const char ch = text_[position_++];
    if (ch == '"' || ch == '\'') {
      quoted = !quoted;
    } else if (ch == ' ' && !quoted) {
      token = kt::updater::TrimWhiteSpace(token);
      return true;
    } else {
      token += ch;
    }
  }
  const bool more = !token.empty();
  token = kt::updater::TrimWhiteSpace(token);
  return more;
}
