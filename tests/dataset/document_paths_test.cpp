#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/binary/binary_document_reader.h"
#include "dataset/binary/binary_document_writer.h"
#include "dataset/documents/dataset_xml_reader.h"
#include "dataset/documents/document.h"
#include "dataset/xml/dom_document.h"
#include "dataset/documents/params_xml.h"
#include "tests/dataset/document_test_support.h"
#include "tests/dataset/replayable_random.h"
#include "tests/dataset/system_code_page_scope.h"

namespace {

using Bytes = std::vector<unsigned char>;

using Random = ReplayableRandom;

const char kBase[] =
    "<?xml version=\"1.0\"?><root><params><param id=\"P\" type=\"INTEGER\">5</param></params>"
    "<dataset id=\"D\"><column id=\"K\" type=\"STRING\">k</column><colinfo id=\"A\" type=\"INT\"/><colinfo id=\"B\"/>"
    "<record type=\"update\"><A>1</A><B>x<![CDATA[y]]></B><org_record><B>o</B><A>2</A></org_record></record>"
    "<record type=\"delete\"><B><i>only</i></B><A/></record><record><A></A><B>&#32;t&amp;</B></record>"
    "<colinfo id=\"C\" type=\"DATE\"/><record type=\"insert\"><C>080000</C><B><![CDATA[]]></B></record>"
    "</dataset><dataset/></root>";

// Pieces of markup that change the shape of a record when they land inside one.
const char* const kPieces[] = {"<A>", "</A>", "<B/>", "<org_record>", "</org_record>", "<![CDATA[z]]>", "text",
                               "<!--c-->", "<?pi x?>", "<record>", "</record>", "<x>", "</x>", "&amp;", " "};

// XML text is read while it is parsed; the binary form of the same tree is read from the whole
// tree. On any text both must give the same result.
TEST(DocumentPaths, ParsingAndTreeReadingAgreeOnMutatedTexts) {
  SystemCodePageScope scope(1252);
  Random random(20240131);
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = kBase;
    for (std::uint32_t edits = 1 + random.Below(3); edits > 0; --edits) {
      const std::size_t at = random.Below(static_cast<std::uint32_t>(text.size()));
      const std::string piece = kPieces[random.Below(sizeof kPieces / sizeof kPieces[0])];
      text.insert(at, piece);
    }
    Kt_ParamList params;
    Kt_DatasetList datasets;
    unsigned codePage = 0;
    const int count = LoadDocument(Bytes(text.begin(), text.end()), params, datasets, codePage);

    Kt_DOMDocument tree;
    if (tree.LoadText(text) <= 0) {
      ASSERT_EQ(count, -1) << text;
      continue;
    }
    Bytes binary;
    ASSERT_GT(WriteBinaryDocument(tree, 0, binary), 0) << text;
    Kt_ParamList treeParams;
    Kt_DatasetList treeDatasets;
    ASSERT_EQ(LoadDocument(binary, treeParams, treeDatasets, codePage), count) << text;
    ASSERT_EQ(kt_test::DocumentDump(params, datasets), kt_test::DocumentDump(treeParams, treeDatasets)) << text;
    ++compared;
  }
  EXPECT_GT(compared, 200);
}

// The datasets of a binary document as the tree gives them: every "dataset" child of the first
// top-level "root", read from the tree.
std::string TreeReading(const Bytes& binary, int& count) {
  Kt_DOMDocument tree;
  count = -1;
  if (ReadBinaryDocument(binary.data(), binary.size(), tree) < 0) return std::string();
  const Kt_DOMElem* root = tree.FindNode("root");
  if (!root || root->ChildCount() == 0) return std::string();
  Kt_ParamList params;
  Kt_DatasetList datasets;
  if (const Kt_DOMElem* element = root->FindChild("params")) ReadParams(params, *element, true);
  for (std::size_t i = 0; i < root->ChildCount(); ++i) {
    const Kt_DOMElem& child = *root->ChildAt(i);
    if (kt_test::StrOf(child.Name()) != "dataset") continue;
    ReadDataset(*static_cast<Kt_Dataset*>(datasets.AppendNew()), child, true);
  }
  count = datasets.Count();
  return kt_test::DocumentDump(params, datasets);
}

// The binary form is read as events straight into the datasets; reading its tree must give the
// same, also for every length the data may be cut to and with strings in another code page.
TEST(DocumentPaths, BinaryEventsAndTreeReadingAgreeOnEveryTruncation) {
  // Written in the system code page, then read in it; written in 949, then read as UTF-8.
  const struct {
    unsigned fileCodePage;
    unsigned readCodePage;
  } cases[] = {{0, 949}, {949, 65001}};
  for (const auto& c : cases) {
    Bytes binary;
    {
      SystemCodePageScope korean(949);
      Kt_DOMDocument tree;
      const std::string base = kBase;
      const std::string text = std::string(base).insert(base.find("<A></A>"), "<B>\xB0\xA1</B>");
      ASSERT_GT(tree.LoadText(text), 0);
      ASSERT_GT(WriteBinaryDocument(tree, c.fileCodePage, binary), 0);
    }
    SystemCodePageScope scope(c.readCodePage);
    for (std::size_t length = 0; length <= binary.size(); ++length) {
      const Bytes cut(binary.begin(), binary.begin() + static_cast<std::ptrdiff_t>(length));
      Kt_ParamList params;
      Kt_DatasetList datasets;
      unsigned codePage = 0;
      const int count = LoadDocument(cut, params, datasets, codePage);
      int treeCount = -1;
      const std::string expected = TreeReading(cut, treeCount);
      ASSERT_EQ(count, treeCount) << "cut to " << length << " of " << binary.size();
      if (count >= 0) {
        ASSERT_EQ(kt_test::DocumentDump(params, datasets), expected) << "cut to " << length;
      }
    }
  }
}

// Values of a long list, in columns whose values never repeat, always repeat, or repeat only for a
// stretch: every value must come out as written, and a column whose values start to repeat again
// must share them again.
TEST(DocumentPaths, LongListsKeepEveryValueWhateverRepeats) {
  const int rows = 2000;
  const auto unique = [](int row) { return "file" + std::to_string(row) + ".dll"; };
  const auto stretch = [&](int row) { return row >= 600 && row < 1500 ? std::string("same") : unique(row); };
  std::string text = "<root><dataset id=\"L\"><colinfo id=\"U\"/><colinfo id=\"R\"/><colinfo id=\"S\"/>"
                     "<colinfo id=\"E\"/>";
  for (int row = 0; row < rows; ++row) {
    text += "<record><U>" + unique(row) + "</U><R>" + std::to_string(row % 3) + "</R><S>" + stretch(row) +
            "</S><E>a&amp;" + std::to_string(row) + "</E></record>";
  }
  text += "</dataset></root>";
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  ASSERT_EQ(LoadDocument(Bytes(text.begin(), text.end()), params, datasets, codePage), 1);
  const auto* dataset = static_cast<const Kt_Dataset*>(datasets.At(0));
  ASSERT_EQ(dataset->RecordCount(), rows);
  for (int row = 0; row < rows; ++row) {
    ASSERT_STREQ(dataset->GetCell(row, "U").StringValue().c_str(), unique(row).c_str()) << row;
    ASSERT_STREQ(dataset->GetCell(row, "R").StringValue().c_str(), std::to_string(row % 3).c_str()) << row;
    ASSERT_STREQ(dataset->GetCell(row, "S").StringValue().c_str(), stretch(row).c_str()) << row;
    ASSERT_STREQ(dataset->GetCell(row, "E").StringValue().c_str(), ("a&" + std::to_string(row)).c_str()) << row;
  }
  EXPECT_EQ(dataset->GetCell(rows - 1, "R").StringValue().c_str(), dataset->GetCell(rows - 4, "R").StringValue().c_str());
  EXPECT_EQ(dataset->GetCell(1498, "S").StringValue().c_str(), dataset->GetCell(1499, "S").StringValue().c_str())
      << "a column whose values repeat again is shared again";
}

}  // namespace
