// Text is never stored as default characters: where a document's text cannot be converted
// exactly into the code page it is loaded into or saved in, the load or save fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/text/codepage.h"
#include "dataset/documents/document.h"
#include "dataset/xml/dom_document.h"
#include "tests/dataset/document_test_support.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using Bytes = std::vector<unsigned char>;

const char kHangul[] = "\xC7\xD1\xB1\xDB";  // two Hangul syllables in euc-kr (code page 949)

Bytes KoreanList() {
  const std::string text = std::string("<?xml version=\"1.0\" encoding=\"euc-kr\"?><root><dataset id=\"L\">"
                                       "<colinfo id=\"N\"/><record><N>") + kHangul + "</N></record></dataset></root>";
  return Bytes(text.begin(), text.end());
}

struct Loaded {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  Kt_DocumentStatus status;
  int count = -2;
};

void Load(const Bytes& bytes, Loaded& loaded) {
  loaded.count = LoadDocument(bytes, loaded.params, loaded.datasets, loaded.codePage, &loaded.status);
}

TEST(DocumentExactText, KoreanTextLoadsWhereTheSystemCodePageHoldsIt) {
  SystemCodePageScope korean(949);
  Loaded loaded;
  Load(KoreanList(), loaded);
  ASSERT_EQ(loaded.count, 1);
  EXPECT_EQ(kt_test::StrOf(loaded.datasets.At(0)->GetCell(0, "N").StringValue()), kHangul);
}

TEST(DocumentExactText, XmlTextTheSystemCodePageCannotHoldFailsToLoad) {
  SystemCodePageScope western(1252);
  Loaded loaded;
  Load(KoreanList(), loaded);
  EXPECT_EQ(loaded.count, -1);
  EXPECT_EQ(loaded.status.error, Kt_DocumentError::XmlSyntax);
  EXPECT_EQ(loaded.status.xmlError, Kt_XmlError::Conversion);
  EXPECT_EQ(loaded.datasets.Count(), 0);
  Kt_DOMDocument tree;
  Kt_XmlStatus status;
  EXPECT_EQ(tree.LoadText(std::string_view(reinterpret_cast<const char*>(KoreanList().data()), KoreanList().size()),
                          &status),
            -1);
  EXPECT_EQ(status.error, Kt_XmlError::Conversion);
}

TEST(DocumentExactText, BinaryStringsTheSystemCodePageCannotHoldFailToLoad) {
  Bytes binary;
  {
    SystemCodePageScope korean(949);
    Loaded loaded;
    Load(KoreanList(), loaded);
    ASSERT_EQ(loaded.count, 1);
    ASSERT_GT(SaveDocument(loaded.params, loaded.datasets, kSelectAllRecords, nullptr, 949, true, binary), 0);
  }
  SystemCodePageScope western(1252);
  Loaded loaded;
  Load(binary, loaded);
  EXPECT_EQ(loaded.count, -1);
  EXPECT_EQ(loaded.status.error, Kt_DocumentError::Binary);
  EXPECT_EQ(loaded.status.binaryError, Kt_BinaryReadError::Conversion);
  EXPECT_NE(kt_test::StrOf(DescribeDocumentStatus(loaded.status)).find("cannot hold"), std::string::npos);
}

TEST(DocumentExactText, SavingInACodePageThatLacksTheTextFails) {
  SystemCodePageScope korean(949);
  Loaded loaded;
  Load(KoreanList(), loaded);
  ASSERT_EQ(loaded.count, 1);
  for (const bool binary : {false, true}) {
    Bytes out{1, 2, 3};
    EXPECT_EQ(SaveDocument(loaded.params, loaded.datasets, kSelectAllRecords, nullptr, 1252, binary, out), -1) << binary;
    EXPECT_TRUE(out.empty());
    EXPECT_GT(SaveDocument(loaded.params, loaded.datasets, kSelectAllRecords, nullptr, 65001, binary, out), 0) << binary;
  }
}

// A character reference to a character the system code page lacks stays as it is written.
TEST(DocumentExactText, AReferenceToACharacterTheCodePageLacksIsKeptAsWritten) {
  SystemCodePageScope western(1252);
  const std::string text = "<root><dataset><colinfo id=\"N\"/><record><N>&#xD55C;&#233;</N></record></dataset></root>";
  Loaded loaded;
  Load(Bytes(text.begin(), text.end()), loaded);
  ASSERT_EQ(loaded.count, 1);
  EXPECT_EQ(kt_test::StrOf(loaded.datasets.At(0)->GetCell(0, "N").StringValue()), "&#xD55C;\xE9");
}

struct ExactCase {
  const char* name;
  std::u16string text;
  unsigned codePage;
  bool exact;
};

class WideToMultiByteExactTable : public ::testing::TestWithParam<ExactCase> {};

TEST_P(WideToMultiByteExactTable, RefusesWhatTheCodePageLacks) {
  const ExactCase& c = GetParam();
  Kt_AString out("x");
  EXPECT_EQ(WideToMultiByteExact(c.codePage, c.text.data(), c.text.size(), out), c.exact);
  if (!c.exact) {
    EXPECT_TRUE(out.IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Table, WideToMultiByteExactTable,
                         ::testing::Values(ExactCase{"AsciiIn1252", u"abc", 1252, true},
                                           ExactCase{"LatinIn1252", u"caf\u00E9", 1252, true},
                                           ExactCase{"HangulIn1252", u"\uD55C", 1252, false},
                                           ExactCase{"HangulIn949", u"\uD55C\uAE00", 949, true},
                                           ExactCase{"HangulInUtf8", u"\uD55C", 65001, true},
                                           ExactCase{"LatinAccentIn1251", u"\u00E9", 1251, false},
                                           ExactCase{"Empty", u"", 1252, true}),
                         [](const testing::TestParamInfo<ExactCase>& info) { return std::string(info.param.name); });

}  // namespace
