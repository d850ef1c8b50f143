#pragma once
// Splits a command line into tokens at spaces. A double or a single quote switches quoting on or
// off (either kind closes what either kind opened) and is dropped, so a quoted value keeps its
// spaces and loses its quotes.
#include <cstddef>
#include <string>

class Kt_CommandLineTokenizer {
public:
  // With a text: takes it and starts from its beginning; with null: continues where the last call
  // stopped. `token` receives the next token, trimmed of white space. Answers true while there may
  // be more tokens: after a token that a space ended, and after a last token that is not empty.
  // Doubled spaces yield empty tokens; callers skip them.
  bool Next(const char* text, std::string& token);

private:
  std::string text_;
  std::size_t position_ = 0;
};
