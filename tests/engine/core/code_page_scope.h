#pragma once
// Makes another code page the system code page for the life of a test.
#include "dataset/text/codepage.h"

namespace kt::engine::testing {

class CodePageScope {
 public:
  explicit CodePageScope(unsigned codePage) { SetSystemCodePageOverride(codePage); }
  ~CodePageScope() { SetSystemCodePageOverride(0); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;
};

}  // namespace kt::engine::testing
