#ifndef KT_TESTS_DATASET_SYSTEM_CODE_PAGE_SCOPE_H
#define KT_TESTS_DATASET_SYSTEM_CODE_PAGE_SCOPE_H

#include <gtest/gtest.h>

#include <cstdlib>

#include "dataset/text/codepage.h"

#ifdef _WIN32
#include <windows.h>
#endif

// The code page a test run was started with on purpose (KT_EXPECT_ACP, set by the variant runs
// next to LC_ALL or KT_ANSI_CODEPAGE); 0 in ordinary runs.
inline unsigned ExpectedAnsiCodePage() {
  const char* value = std::getenv("KT_EXPECT_ACP");
  return value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : 0;
}

// Gives a test the system code page it needs. When the run was started with that code page
// (ExpectedAnsiCodePage), the real one is used and checked, so that a variant run cannot pass
// without the code page it claims; otherwise the library's override stands in for it.
class SystemCodePageScope {
 public:
  explicit SystemCodePageScope(unsigned codePage) {
    if (ExpectedAnsiCodePage() == codePage) {
#ifdef _WIN32
      EXPECT_EQ(GetACP(), codePage) << "the run was meant to have ANSI code page " << codePage;
#endif
      EXPECT_EQ(SystemCodePage(), codePage);
      return;
    }
    SetSystemCodePageOverride(codePage);
    m_overridden = true;
  }
  ~SystemCodePageScope() {
    if (m_overridden) SetSystemCodePageOverride(0);
  }
  SystemCodePageScope(const SystemCodePageScope&) = delete;
  SystemCodePageScope& operator=(const SystemCodePageScope&) = delete;
  bool UsesRealCodePage() const { return !m_overridden; }

 private:
  bool m_overridden = false;
};

#endif
