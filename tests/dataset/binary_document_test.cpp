#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/binary/binary_document_format.h"
#include "dataset/binary/binary_document_reader.h"
#include "dataset/binary/binary_document_writer.h"
#include "dataset/xml/dom_document.h"
#include "tests/dataset/document_test_support.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using namespace std::string_literals;
using kt_test::AStrOf;
using kt_test::BinaryBuilder;
using kt_test::Dump;
using Bytes = std::vector<unsigned char>;

// <?xml version="1.0" encoding="euc-kr"?><root><id id="x">a</id></root>: the element name "id"
// and the attribute name "id" share one table entry.
void BuildSmallTree(Kt_DOMDocument& document) {
  Kt_DOMElem* declaration = document.Nodes().Add(NodeDeclaration, "xml");
  declaration->AddAttribute("version", "1.0");
  declaration->AddAttribute("encoding", "euc-kr");
  Kt_DOMElem* root = document.Nodes().Add(NodeElement, "root");
  Kt_DOMElem* id = root->AddChild(NodeTextElement, "id");
  id->SetText("a");
  id->AddAttribute("id", "x");
}

TEST(BinaryDocumentWriter, WritesTheSortedNameTableAndEveryField) {
  Kt_DOMDocument document;
  BuildSmallTree(document);
  BinaryBuilder expected;
  expected.Header(0, {"encoding", "id", "root", "version", "xml"}).U32(2);
  expected.U16(16).U16(4).Long("").U16(2).U16(3).Short("1.0").U16(0).Short("euc-kr").U32(0);
  expected.Node(48, 2, "").U32(1);
  expected.U16(51).U16(1).Long("a").U16(1).U16(1).Short("x").U32(0);

  Bytes out;
  ASSERT_EQ(WriteBinaryDocument(document, 0, out), static_cast<std::ptrdiff_t>(expected.Bytes().size()));
  EXPECT_EQ(out, expected.Bytes());
  EXPECT_TRUE(IsBinaryDocument(out.data(), out.size()));
}

TEST(BinaryDocumentWriter, SortsNamesByBytesUpperCaseFirst) {
  Kt_DOMElemList nodes;
  nodes.Add(NodeEmptyElement, "b")->AddAttribute("\xB0\xA1", "1");
  nodes.Add(NodeEmptyElement, "B");
  nodes.Add(NodeEmptyElement, "a");
  nodes.Add(NodeText)->SetText("t");
  Bytes out;
  ASSERT_GT(WriteBinaryDocument(nodes, 0, out), 0);
  BinaryBuilder expected;
  expected.Header(0, {"B", "a", "b", "\xB0\xA1"}).U32(4);
  expected.U16(49).U16(2).Long("").U16(1).U16(3).Short("1").U32(0);
  expected.Node(49, 0, "").U32(0).Node(49, 1, "").U32(0);
  expected.Node(0, 0xFFFF, "t").U32(0);
  EXPECT_EQ(out, expected.Bytes());
}

// Trees the XML text cannot hold come through the binary form unchanged.
TEST(BinaryDocument, RoundTripKeepsZeroBytesKindsAndLongTexts) {
  Kt_DOMDocument document;
  Kt_DOMElem* root = document.Nodes().Add(NodeElement, "root");
  root->AddChild(NodeTextElement, "z")->SetText(AStrOf("a\0b\0"s));
  root->AddChild(NodeCDataElement, "c")->SetText("<![CDATA[x]]>");
  root->AddChild(NodeComment)->SetText(" note ");
  root->AddChild(NodeWhitespace)->SetText("\r\n\t");
  root->AddChild(static_cast<NodeKind>(0xFFFE), AStrOf("odd\0name"s));
  Kt_DOMElem* attributes = root->AddChild(NodeEmptyElement, "attrs");
  attributes->AddAttribute(AStrOf("n\0"s), AStrOf("\0v"s));
  attributes->AddAttribute("empty", "");
  attributes->AddAttribute("long", AStrOf(std::string(0xFFFF, 'v')));
  root->AddChild(NodeTextElement, "big")->SetText(AStrOf(std::string(70000, 'x')));

  Bytes out;
  ASSERT_GT(WriteBinaryDocument(document, 0, out), 0);
  Kt_DOMDocument read;
  Kt_BinaryReadStatus status;
  EXPECT_EQ(ReadBinaryDocument(out.data(), out.size(), read, &status), static_cast<std::ptrdiff_t>(out.size()));
  EXPECT_FALSE(status.Failed());
  EXPECT_EQ(Dump(read.Nodes()), Dump(document.Nodes()));
}

TEST(BinaryDocument, DeepestTreeTheXmlLayerAllowsRoundTrips) {
  Kt_DOMDocument document;
  Kt_DOMElem* node = document.Nodes().Add(NodeElement, "e");
  for (std::size_t depth = 1; depth <= kDomMaxDepth; ++depth) node = node->AddChild(NodeElement, "e");
  Bytes out;
  ASSERT_GT(WriteBinaryDocument(document, 0, out), 0);
  Kt_DOMDocument read;
  EXPECT_EQ(ReadBinaryDocument(out.data(), out.size(), read), static_cast<std::ptrdiff_t>(out.size()));
  EXPECT_EQ(Dump(read.Nodes()), Dump(document.Nodes()));

  node->AddChild(NodeElement, "e");
  EXPECT_EQ(WriteBinaryDocument(document, 0, out), -1);
  EXPECT_TRUE(out.empty());
}

struct RefusedTree {
  const char* name;
  void (*build)(Kt_DOMElem& root);
};

class BinaryDocumentWriterRefuses : public testing::TestWithParam<RefusedTree> {};

TEST_P(BinaryDocumentWriterRefuses, InsteadOfCuttingFieldsShort) {
  Kt_DOMDocument document;
  GetParam().build(*document.Nodes().Add(NodeElement, "root"));
  Bytes out{1, 2, 3};
  EXPECT_EQ(WriteBinaryDocument(document, 0, out), -1);
  EXPECT_TRUE(out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, BinaryDocumentWriterRefuses,
    testing::Values(
        RefusedTree{"ValueOver65535Bytes",
                    [](Kt_DOMElem& root) { root.AddAttribute("a", AStrOf(std::string(0x10000, 'v'))); }},
        RefusedTree{"NameOver65535Bytes",
                    [](Kt_DOMElem& root) { root.AddChild(NodeElement, AStrOf(std::string(0x10000, 'n'))); }},
        RefusedTree{"KindOver16Bits", [](Kt_DOMElem& root) { root.AddChild(static_cast<NodeKind>(0x10030), "x"); }},
        RefusedTree{"Over65535Attributes",
                    [](Kt_DOMElem& root) {
                      for (int i = 0; i < 0x10000; ++i) root.AddAttribute("a", "1");
                    }},
        RefusedTree{"Over65535Names",
                    [](Kt_DOMElem& root) {
                      for (int i = 0; i < 0x10000; ++i) root.AddChild(NodeEmptyElement, AStrOf("n" + std::to_string(i)));
                    }}),
    [](const testing::TestParamInfo<RefusedTree>& info) { return std::string(info.param.name); });

// A document in the file's code page: names, texts and values are converted both ways.
TEST(BinaryDocumentCodePage, ConvertsBetweenFileAndSystemCodePage) {
  SystemCodePageScope scope(1252);
  Kt_DOMDocument document;
  Kt_DOMElem* element = document.Nodes().Add(NodeTextElement, "caf\xE9");
  element->SetText("\xE9t\xE9");
  element->AddAttribute("\xE0", "\xFC");
  Bytes out;
  ASSERT_GT(WriteBinaryDocument(document, 65001, out), 0);
  BinaryBuilder expected;
  expected.Header(65001, {"caf\xC3\xA9", "\xC3\xA0"}).U32(1);
  expected.U16(51).U16(0).Long("\xC3\xA9t\xC3\xA9").U16(1).U16(1).Short("\xC3\xBC").U32(0);
  EXPECT_EQ(out, expected.Bytes());

  Kt_DOMDocument read;
  ASSERT_EQ(ReadBinaryDocument(out.data(), out.size(), read), static_cast<std::ptrdiff_t>(out.size()));
  EXPECT_EQ(read.CodePage(), 65001u);
  EXPECT_EQ(Dump(read.Nodes()), Dump(document.Nodes()));
}

struct CodePageCase {
  const char* name;
  std::uint32_t fileCodePage;
  unsigned expectedDocumentCodePage;
};

class BinaryDocumentStoredAsIs : public testing::TestWithParam<CodePageCase> {};

// The system code page, 0 and a code page the system does not know leave the bytes alone.
TEST_P(BinaryDocumentStoredAsIs, WhenNoConversionApplies) {
  SystemCodePageScope scope(1252);
  BinaryBuilder input;
  input.Header(GetParam().fileCodePage, {"\xE9"}).U32(1).Node(51, 0, "\xC3\xA9").U32(0);
  Kt_DOMDocument read;
  ASSERT_EQ(ReadBinaryDocument(input.Bytes().data(), input.Bytes().size(), read),
            static_cast<std::ptrdiff_t>(input.Bytes().size()));
  EXPECT_EQ(read.CodePage(), GetParam().expectedDocumentCodePage);
  ASSERT_EQ(read.Nodes().Count(), 1u);
  EXPECT_EQ(kt_test::StrOf(read.Nodes().At(0)->Name()), "\xE9");
  EXPECT_EQ(kt_test::StrOf(read.Nodes().At(0)->Text()), "\xC3\xA9");

  Kt_DOMDocument written;
  written.Nodes().Add(NodeTextElement, "\xE9")->SetText("\xC3\xA9");
  Bytes out;
  if (GetParam().fileCodePage != 54321) {
    ASSERT_GT(WriteBinaryDocument(written, GetParam().fileCodePage, out), 0);
    EXPECT_EQ(out, input.Bytes());
  }
}

INSTANTIATE_TEST_SUITE_P(Table, BinaryDocumentStoredAsIs,
                         testing::Values(CodePageCase{"SystemCodePage", 1252, 1252}, CodePageCase{"Zero", 0, 1252},
                                         CodePageCase{"Unknown", 54321, 1252}),
                         [](const testing::TestParamInfo<CodePageCase>& info) { return std::string(info.param.name); });

TEST(IsBinaryDocument, NeedsThreeBytesStartingWithTheMagic) {
  const unsigned char data[] = {0xFF, 0x21, 0x0C, 0x1C};
  EXPECT_FALSE(IsBinaryDocument(nullptr, 4));
  EXPECT_FALSE(IsBinaryDocument(data, 2));
  EXPECT_TRUE(IsBinaryDocument(data, 3));
  const unsigned char swapped[] = {0x21, 0xFF, 0x00};
  EXPECT_FALSE(IsBinaryDocument(swapped, 3));
  const unsigned char packed[] = {0xFF, 0xAC, 0x00};
  EXPECT_FALSE(IsBinaryDocument(packed, 3));
}

// Every prefix of a valid document is read without reading past it; what was complete stays.
TEST(BinaryDocumentReader, EveryTruncationStopsCleanly) {
  Kt_DOMDocument document;
  BuildSmallTree(document);
  Bytes full;
  ASSERT_GT(WriteBinaryDocument(document, 0, full), 0);
  for (std::size_t size = 3; size < full.size(); ++size) {
    // A private copy of exactly `size` bytes, so that the sanitizer sees any read beyond it.
    Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
    Kt_DOMDocument read;
    Kt_BinaryReadStatus status;
    EXPECT_EQ(ReadBinaryDocument(prefix.data(), prefix.size(), read, &status), static_cast<std::ptrdiff_t>(size))
        << size;
    EXPECT_EQ(status.error, Kt_BinaryReadError::Truncated) << size;
    EXPECT_LE(status.offset, size) << size;
  }
}

struct MalformedBinary {
  const char* name;
  BinaryBuilder input;
  std::ptrdiff_t result;  // 0 stands for the input's length
  Kt_BinaryReadError error;
  std::size_t offset;
  const char* tree;  // Dump of what was read
};

BinaryBuilder Built(BinaryBuilder builder) { return builder; }

std::vector<MalformedBinary> MalformedInputs() {
  const std::vector<std::string> names = {"root", "a"};
  return {
      {"WrongMagic", Built(BinaryBuilder().U16(0xFF22).U16(3100).U32(0).U16(0).U32(0)), -1,
       Kt_BinaryReadError::BadMagic, 0, ""},
      {"TwoBytes", Built(BinaryBuilder().U16(0x4142)), 0, Kt_BinaryReadError::Truncated, 0, ""},
      {"FourBytes", Built(BinaryBuilder().U16(0xFF21).U16(3100)), 0, Kt_BinaryReadError::Truncated, 2, ""},
      {"NameCountLies", Built(BinaryBuilder().U16(0xFF21).U16(3100).U32(0).U16(0xFFFF).Short("a")), 0,
       Kt_BinaryReadError::Truncated, 13, ""},
      {"NameLengthLies", Built(BinaryBuilder().U16(0xFF21).U16(3100).U32(0).U16(1).U16(0xFFFF).Raw("abc")), 0,
       Kt_BinaryReadError::Truncated, 10, ""},
      {"NodeCountLies", Built(BinaryBuilder().Header(0, names).U32(0xFFFFFFFF).Node(48, 0, "").U32(0)), 0,
       Kt_BinaryReadError::Truncated, 37, "48 <root> \"\"\n"},
      {"TextLengthLies", Built(BinaryBuilder().Header(0, names).U32(1).U16(51).U16(1).U32(0xFFFFFFFF).Raw("xy")), 0,
       Kt_BinaryReadError::Truncated, 27, "51 <a> \"\"\n"},
      {"AttributeCountLies",
       Built(BinaryBuilder().Header(0, names).U32(1).U16(49).U16(1).Long("").U16(0xFFFF).U16(0).Short("v")), 0,
       Kt_BinaryReadError::Truncated, 38, "49 <a> \"\" root=\"v\"\n"},
      {"ValueLengthLies",
       Built(BinaryBuilder().Header(0, names).U32(1).U16(49).U16(1).Long("").U16(1).U16(0).U16(0x8000).Raw("v")), 0,
       Kt_BinaryReadError::Truncated, 35, "49 <a> \"\"\n"},
      {"ChildCountLies", Built(BinaryBuilder().Header(0, names).U32(1).Node(48, 0, "").U32(0x40000000).Node(49, 1, "")),
       0, Kt_BinaryReadError::Truncated, 47, "48 <root> \"\"\n  49 <a> \"\"\n"},
      {"NameIndexOutsideTable", Built(BinaryBuilder().Header(0, names).U32(1).Node(49, 2, "t").U32(0)), 0,
       Kt_BinaryReadError::None, 0, "49 <> \"t\"\n"},
      {"TrailingBytesIgnored", Built(BinaryBuilder().Header(0, names).U32(1).Node(49, 1, "").U32(0).Raw("junk")), 37,
       Kt_BinaryReadError::None, 0, "49 <a> \"\"\n"},
  };
}

class BinaryDocumentReaderMalformed : public testing::TestWithParam<MalformedBinary> {};

TEST_P(BinaryDocumentReaderMalformed, ReadsNoFurtherThanTheData) {
  const MalformedBinary& c = GetParam();
  const Bytes input = c.input.Bytes();
  Kt_DOMDocument read;
  Kt_BinaryReadStatus status;
  const std::ptrdiff_t expected = c.result == 0 ? static_cast<std::ptrdiff_t>(input.size()) : c.result;
  EXPECT_EQ(ReadBinaryDocument(input.data(), input.size(), read, &status), expected);
  EXPECT_EQ(status.error, c.error);
  EXPECT_EQ(status.offset, c.offset);
  EXPECT_EQ(Dump(read.Nodes()), c.tree);
}

INSTANTIATE_TEST_SUITE_P(Table, BinaryDocumentReaderMalformed, testing::ValuesIn(MalformedInputs()),
                         [](const testing::TestParamInfo<MalformedBinary>& info) {
                           return std::string(info.param.name);
                         });

// Nesting is limited like the XML layer's: a child list below depth kDomMaxDepth is refused
// before the reader recurses further, and nothing of the tree is kept.
TEST(BinaryDocumentReader, RefusesNestingDeeperThanTheXmlLayer) {
  BinaryBuilder input;
  input.Header(0, {"e"}).U32(1);
  for (std::size_t depth = 0; depth <= kDomMaxDepth + 1; ++depth) input.Node(48, 0, "").U32(1);
  input.Node(49, 0, "").U32(0);
  Kt_DOMDocument read;
  Kt_BinaryReadStatus status;
  EXPECT_EQ(ReadBinaryDocument(input.Bytes().data(), input.Bytes().size(), read, &status), -1);
  EXPECT_EQ(status.error, Kt_BinaryReadError::TooDeep);
  EXPECT_EQ(status.offset, 17 + kDomMaxDepth * 14 + 10);  // the child count of the node at depth 256
  EXPECT_EQ(read.Nodes().Count(), 0u);
  EXPECT_EQ(kt_test::StrOf(DescribeBinaryReadStatus(status)),
            "nodes nested too deeply at byte " + std::to_string(status.offset));
}

}  // namespace
