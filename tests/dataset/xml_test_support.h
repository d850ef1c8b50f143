#ifndef KT_TESTS_DATASET_XML_TEST_SUPPORT_H
#define KT_TESTS_DATASET_XML_TEST_SUPPORT_H

#include <string>
#include <string_view>

#include "dataset/text/astring.h"
#include "dataset/text/codepage.h"

inline std::string Str(const Kt_AString& text) { return std::string(text.c_str(), text.Length()); }
inline Kt_AString AStr(std::string_view text) { return Kt_AString(text.data(), text.size()); }

// Gives a test another system code page through the library's override, restored afterwards.
class XmlCodePageScope {
 public:
  explicit XmlCodePageScope(unsigned codePage) { SetSystemCodePageOverride(codePage); }
  ~XmlCodePageScope() { SetSystemCodePageOverride(0); }
  XmlCodePageScope(const XmlCodePageScope&) = delete;
  XmlCodePageScope& operator=(const XmlCodePageScope&) = delete;
};

#endif
