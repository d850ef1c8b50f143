#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/documents/document.h"
#include "tests/dataset/document_test_support.h"

namespace {

using kt_test::BinaryBuilder;
using Bytes = std::vector<unsigned char>;

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct Outcome {
  int result;
  Kt_DocumentStatus status;
  std::string message;
};

// Loads into lists that already hold something, to see that they are emptied.
Outcome Load(const Bytes& input) {
  Kt_ParamList params;
  params.Set("stale", Kt_Variant::FromInt(1));
  Kt_DatasetList datasets;
  datasets.AppendNew();
  unsigned codePage = 0;
  Outcome outcome;
  outcome.result = LoadDocument(input.data(), input.size(), params, datasets, codePage, &outcome.status);
  outcome.message = kt_test::StrOf(DescribeDocumentStatus(outcome.status));
  if (outcome.result < 0) {
    EXPECT_EQ(params.Count(), 0);
    EXPECT_EQ(datasets.Count(), 0);
  } else {
    EXPECT_EQ(datasets.Count(), outcome.result);
  }
  return outcome;
}

struct MalformedDocument {
  const char* name;
  Bytes input;
  Kt_DocumentError error;
  const char* message;
};

// A binary document of a root holding one empty "dataset" element, with the root's child count
// given.
Bytes BinaryRoot(std::uint32_t children, bool withChild) {
  BinaryBuilder builder;
  builder.Header(0, {"dataset", "root"}).U32(1).Node(48, 1, "").U32(children);
  if (withChild) builder.Node(49, 0, "").U32(0);
  return builder.Bytes();
}

Bytes DeepBinary() {
  BinaryBuilder builder;
  builder.Header(0, {"root"}).U32(1);
  for (int depth = 0; depth < 300; ++depth) builder.Node(48, 0, "").U32(1);
  return builder.Bytes();
}

std::vector<MalformedDocument> MalformedDocuments() {
  return {
      {"Empty", Bytes(), Kt_DocumentError::EmptyInput, "empty document"},
      {"OnlyZeroBytes", Bytes(4, 0), Kt_DocumentError::EmptyInput, "empty document"},
      {"MismatchedEndTag", BytesOf("<root><a></b></root>"), Kt_DocumentError::XmlSyntax,
       "mismatched end tag at byte 9"},
      {"UnclosedRoot", BytesOf("<root><dataset/>"), Kt_DocumentError::XmlSyntax, "element not closed at byte 0"},
      {"StrayLessThan", BytesOf("<root>a < b</root>"), Kt_DocumentError::XmlSyntax,
       "missing or invalid name after '<' at byte 9"},
      {"ZeroByteInside", Bytes{'<', 'r', 'o', 'o', 't', '>', 0, '<', '/', 'r', 'o', 'o', 't', '>'},
       Kt_DocumentError::XmlSyntax, "zero byte in the text at byte 6"},
      {"NoRoot", BytesOf("<?xml version='1.0'?><list><dataset/></list>"), Kt_DocumentError::NoRoot,
       "no root element"},
      {"EmptyRoot", BytesOf("<root></root>"), Kt_DocumentError::EmptyRoot, "the root element is empty"},
      {"EmptyRootElement", BytesOf("<root/>"), Kt_DocumentError::EmptyRoot, "the root element is empty"},
      {"RootOnlyText", BytesOf("<root>text</root>"), Kt_DocumentError::EmptyRoot, "the root element is empty"},
      {"BinaryWithoutRoot", BinaryBuilder().Header(0, {"list"}).U32(1).Node(49, 0, "").U32(0).Bytes(),
       Kt_DocumentError::NoRoot, "no root element"},
      {"BinaryTruncatedBeforeRoot", BinaryBuilder().Header(0, {"root"}).U32(1).U16(48).Bytes(),
       Kt_DocumentError::Binary, "binary document ends inside a field at byte 22"},
      {"BinaryChildCountLiesAndNoChild", BinaryRoot(0xFFFFFFFF, false), Kt_DocumentError::Binary,
       "binary document ends inside a field at byte 43"},
      {"BinaryTooDeep", DeepBinary(), Kt_DocumentError::Binary, "nodes nested too deeply at byte 3614"},
      {"BinaryThreeBytes", Bytes{0xFF, 0x21, 0x0C}, Kt_DocumentError::Binary,
       "binary document ends inside a field at byte 2"},
  };
}

class DocumentMalformed : public testing::TestWithParam<MalformedDocument> {};

TEST_P(DocumentMalformed, FailsWithReasonAndPosition) {
  const Outcome outcome = Load(GetParam().input);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.status.error, GetParam().error);
  EXPECT_EQ(outcome.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Table, DocumentMalformed, testing::ValuesIn(MalformedDocuments()),
                         [](const testing::TestParamInfo<MalformedDocument>& info) {
                           return std::string(info.param.name);
                         });

// A truncated binary document whose root was read with a child still loads; the truncation is
// reported beside the success.
TEST(DocumentMalformed, TruncatedBinaryWithUsableRootLoads) {
  const Outcome outcome = Load(BinaryRoot(0xFFFFFFFF, true));
  EXPECT_EQ(outcome.result, 1);
  EXPECT_FALSE(outcome.status.Failed());
  EXPECT_TRUE(outcome.status.binary);
  EXPECT_EQ(outcome.status.binaryError, Kt_BinaryReadError::Truncated);
}

const char kDocument[] =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<root>\r\n\t<params>\r\n\t\t<param id=\"A\" type=\"STRING\">x"
    "</param>\r\n\t</params>\r\n\t<dataset id=\"L\">\r\n\t\t<column id=\"K\" type=\"INTEGER\">1</column>"
    "\r\n\t\t<colinfo id=\"F\" size=\"255\" type=\"STRING\"/>\r\n\t\t<record type=\"update\">\r\n\t\t\t<F>b</F>"
    "\r\n\t\t\t<org_record>\r\n\t\t\t\t<F>a</F>\r\n\t\t\t</org_record>\r\n\t\t</record>\r\n\t</dataset>\r\n</root>";

// Every cut of the text fails cleanly (the sanitizers watch the reads); a message always comes
// with a position inside the text.
TEST(DocumentMalformed, EveryTruncatedTextFailsCleanly) {
  const std::string text(kDocument);
  ASSERT_EQ(Load(BytesOf(text)).result, 1);
  for (std::size_t size = 1; size < text.size(); ++size) {
    const Outcome outcome = Load(BytesOf(text.substr(0, size)));
    EXPECT_EQ(outcome.result, -1) << size;
    // Cut right after the declaration, the text is well-formed but has no root.
    const Kt_DocumentError expected = size <= text.find("<root>") ? Kt_DocumentError::NoRoot : Kt_DocumentError::XmlSyntax;
    if (size > text.find("?>") + 1) {
      EXPECT_EQ(outcome.status.error, expected) << size << " " << outcome.message;
    }
    EXPECT_LE(outcome.status.offset, size) << size;
  }
}

// Every cut of the binary form either loads what it holds or fails with a reason; nothing is
// read beyond the cut.
TEST(DocumentMalformed, EveryTruncatedBinaryStopsCleanly) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  ASSERT_EQ(LoadDocument(BytesOf(kDocument), params, datasets, codePage), 1);
  Bytes binary;
  ASSERT_GT(SaveDocument(params, datasets, kSelectRecordsAndChanges, nullptr, 949, true, binary), 0);
  ASSERT_EQ(Load(binary).result, 1);
  int loaded = 0;
  for (std::size_t size = 3; size < binary.size(); ++size) {
    const Outcome outcome = Load(Bytes(binary.begin(), binary.begin() + static_cast<std::ptrdiff_t>(size)));
    EXPECT_EQ(outcome.status.binaryError, Kt_BinaryReadError::Truncated) << size;
    if (outcome.result < 0) {
      EXPECT_EQ(outcome.status.error, Kt_DocumentError::Binary) << size;
      EXPECT_LE(outcome.status.offset, size) << size;
    } else {
      ++loaded;
    }
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
