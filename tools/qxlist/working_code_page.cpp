#include "tools/qxlist/working_code_page.h"

#include <string_view>

#include "dataset/binary/binary_document_format.h"
#include "dataset/text/codepage.h"
#include "dataset/xml/xml_encoding.h"

namespace qxlist {
namespace {

constexpr unsigned kUtf8 = 65001;
constexpr unsigned kUtf16 = 1200;

// The code page a document's bytes declare: the binary form's header field, the XML text's byte
// order mark or declaration; 0 when they declare none.
unsigned DeclaredCodePage(const Bytes& plain) {
  if (IsBinaryDocument(plain.data(), plain.size())) {
    return plain.size() >= 8 ? kt_binary_document::ReadU32(plain.data() + 4) : 0;
  }
  return DetectXmlEncoding(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size())).codePage;
}

// True when the platform converts text of this code page.
bool Converts(unsigned codePage) {
  Kt_AString probe("A");
  return ConvertCodePage(probe, codePage, kUtf8, probe);
}

}  // namespace

WorkingCodePage::~WorkingCodePage() {
  if (m_set) SetSystemCodePageOverride(m_previous);
}

void WorkingCodePage::ChooseFor(const Bytes& plain) {
  unsigned codePage = DeclaredCodePage(plain);
  if (codePage == 0) return;
  if (codePage == kUtf16 || !Converts(codePage)) codePage = kUtf8;
  Choose(codePage);
}

void WorkingCodePage::Choose(unsigned codePage) {
  const unsigned previous = SetSystemCodePageOverride(codePage);
  if (!m_set) m_previous = previous;
  m_set = true;
}

}  // namespace qxlist
