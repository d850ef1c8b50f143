#include "dataset/xml/xml_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "dataset/xml/dom_document.h"
#include "tests/dataset/xml_test_support.h"

namespace {

using namespace std::string_literals;

Kt_DOMElem* Text(Kt_DOMElem* parent, NodeKind kind, const char* name, const char* text) {
  Kt_DOMElem* node = parent->AddChild(kind, name);
  node->SetText(text);
  return node;
}

// The tree a dataset document of one parameter and a two-column dataset with one unchanged and
// one inserted record is made of.
void BuildListDocument(Kt_DOMDocument& document) {
  Kt_DOMElem* declaration = document.Nodes().Add(NodeDeclaration, "xml");
  declaration->AddAttribute("version", "1.0");
  declaration->AddAttribute("encoding", "euc-kr");
  Kt_DOMElem* root = document.Nodes().Add(NodeElement, "root");
  Kt_DOMElem* params = root->AddChild(NodeElement, "params");
  Kt_DOMElem* param = params->AddChild(NodeElement, "param");
  param->AddAttribute("id", "CONFIG");
  param->AddAttribute("type", "STRING");
  Text(param, NodeText, "", "true");
  Kt_DOMElem* dataset = root->AddChild(NodeElement, "dataset");
  dataset->AddAttribute("id", "LIST");
  for (const char* column : {"FILENAME", "VERSION"}) {
    Kt_DOMElem* colinfo = dataset->AddChild(NodeEmptyElement, "colinfo");
    colinfo->AddAttribute("id", column);
    colinfo->AddAttribute("size", "255");
    colinfo->AddAttribute("type", "STRING");
    colinfo->AddAttribute("MapValue", "");
  }
  Kt_DOMElem* first = dataset->AddChild(NodeElement, "record");
  Text(first, NodeTextElement, "FILENAME", "a.dll");
  first->AddChild(NodeEmptyElement, "VERSION");
  Kt_DOMElem* second = dataset->AddChild(NodeElement, "record");
  second->AddAttribute("type", "insert");
  Text(second, NodeTextElement, "FILENAME", "b.dll");
  Text(second, NodeTextElement, "VERSION", "1,0,0,2");
}

const char kListDocument[] =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n"
    "<root>\r\n"
    "\t<params>\r\n"
    "\t\t<param id=\"CONFIG\" type=\"STRING\">true</param>\r\n"
    "\t</params>\r\n"
    "\t<dataset id=\"LIST\">\r\n"
    "\t\t<colinfo id=\"FILENAME\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<colinfo id=\"VERSION\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<record>\r\n"
    "\t\t\t<FILENAME>a.dll</FILENAME>\r\n"
    "\t\t\t<VERSION/>\r\n"
    "\t\t</record>\r\n"
    "\t\t<record type=\"insert\">\r\n"
    "\t\t\t<FILENAME>b.dll</FILENAME>\r\n"
    "\t\t\t<VERSION>1,0,0,2</VERSION>\r\n"
    "\t\t</record>\r\n"
    "\t</dataset>\r\n"
    "</root>";

TEST(XmlWriter, DatasetDocumentByteForByte) {
  Kt_DOMDocument document;
  BuildListDocument(document);
  Kt_AString text;
  ASSERT_TRUE(WriteXml(document.Nodes(), text));
  EXPECT_EQ(Str(text), kListDocument);
}

TEST(XmlWriter, DatasetDocumentReadsBackToTheSameText) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText(kListDocument), 0);
  Kt_AString text;
  ASSERT_TRUE(document.SaveText(text, SystemCodePage()));
  EXPECT_EQ(Str(text), kListDocument);
}

struct WriteCase {
  const char* name;
  std::string xml;  // read with comments and white space kept, then written
  Kt_XmlWriteOptions options;
  std::size_t depth;
  std::string expected;
};

const Kt_XmlWriteOptions kIndent{true, true, ' '};
const Kt_XmlWriteOptions kFlat{true, false, ' '};
const Kt_XmlWriteOptions kRaw{false, false, ' '};
const Kt_XmlWriteOptions kTabSeparated{true, false, '\t'};

const WriteCase kWriterTableRows[] = {
    WriteCase{"Empty", "<a/>", kIndent, 0, "\r\n<a/>"},
    WriteCase{"EmptyAtDepth2", "<a/>", kIndent, 2, "\r\n\t\t<a/>"},
    WriteCase{"EmptyContent", "<a></a>", kIndent, 0, "\r\n<a></a>"},
    WriteCase{"TextElement", "<a>x y</a>", kIndent, 1, "\r\n\t<a>x&#32;y</a>"},
    WriteCase{"OneElementChild", "<a><b/></a>", kIndent, 0, "\r\n<a>\r\n\t<b/>\r\n</a>"},
    WriteCase{"TwoTextChildren", "<a>x<!--c-->y</a>", kIndent, 0, "\r\n<a>x\r\n\t<!--c-->y\r\n</a>"},
    WriteCase{"CDataElement", "<a><![CDATA[<&>]]></a>", kIndent, 0, "\r\n<a><![CDATA[<&>]]></a>"},
    WriteCase{"CDataChild", "<a><![CDATA[x]]>y</a>", kIndent, 0, "\r\n<a><![CDATA[x]]>y\r\n</a>"},
    WriteCase{"OneCDataChildOnly", "<a><![CDATA[x]]></a>", kIndent, 0, "\r\n<a><![CDATA[x]]></a>"},
    WriteCase{"WhitespaceChild", "<a> </a>", kIndent, 0, "\r\n<a>&#32;\r\n</a>"},
    WriteCase{"WhitespaceChildUnescaped", "<a> </a>", kRaw, 0, "<a> </a>"},
    WriteCase{"Flat", "<a><b>1</b><c/></a>", kFlat, 0, "<a><b>1</b><c/></a>"},
    WriteCase{"Attributes", "<a x=\"1 2\" y=\"\" z=\"&lt;\"/>", kFlat, 0, "<a x=\"1&#32;2\" z=\"&lt;\"/>"},
    WriteCase{"AttributeWithQuote", "<a x='say \"hi\"' y=\"it's\"/>", kFlat, 0,
              "<a x='say&#32;&quot;hi&quot;' y=\"it&apos;s\"/>"},
    WriteCase{"SeparatorCharacter", "<a x=\"1\" y=\"2\"/>", kTabSeparated, 0, "<a\tx=\"1\"\ty=\"2\"/>"},
    WriteCase{"TextEscapesNine", "<a>&#9;&#10;&#13;&#32;&amp;&lt;&gt;&quot;&apos;</a>", kFlat, 0,
              "<a>&#9;&#10;&#13;&#32;&amp;&lt;&gt;&quot;&apos;</a>"},
    WriteCase{"Declaration", "<?xml version=\"1.1\" encoding=\"utf-8\" standalone=\"yes\"?>", kIndent, 0,
              "<?xml version=\"1.1\" encoding=\"utf-8\"?>"},
    WriteCase{"DeclarationDefaults", "<?xml?>", kIndent, 0, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"},
    WriteCase{"DeclarationEmptyVersion", "<?xml version=\"\"?>", kTabSeparated, 0,
              "<?xml\tversion=\"1.0\"\tencoding=\"iso-8859-1\"?>"},
    WriteCase{"MarkupDeclaration", "<!DOCTYPE r SYSTEM \"a b\"><r/>", kIndent, 0,
              "\r\n<!DOCTYPE r SYSTEM \"a b\">\r\n<r/>"},
    WriteCase{"CommentTopLevel", "<!-- c --><r/>", kIndent, 0, "\r\n<!-- c -->\r\n<r/>"},
    WriteCase{"CommentFlat", "<r><!--c--></r>", kFlat, 0, "<r><!--c--></r>"},
    WriteCase{"Nested", "<r><d><e>1</e><f/></d></r>", kIndent, 0,
              "\r\n<r>\r\n\t<d>\r\n\t\t<e>1</e>\r\n\t\t<f/>\r\n\t</d>\r\n</r>"}};

TEST(WriterTable, WritesByteForByte) {
  for (const WriteCase& row : kWriterTableRows) {
    SCOPED_TRACE(row.name);
    Kt_DOMDocument document;
    Kt_XmlLoadOptions load;
    load.keepComments = true;
    load.keepWhitespace = true;
    Kt_XmlStatus status;
    ASSERT_GT(document.LoadText(row.xml, &status, load), 0) << DescribeXmlStatus(status).c_str();
    Kt_AString text;
    ASSERT_TRUE(WriteXml(document.Nodes(), text, row.options, row.depth));
    EXPECT_EQ(Str(text), row.expected);
  }
}

TEST(XmlWriter, DeclarationNamesTheSystemCodePageByDefault) {
  XmlCodePageScope scope(949);
  Kt_DOMElem declaration(NodeDeclaration, "xml");
  Kt_AString text;
  ASSERT_TRUE(WriteXmlNode(declaration, text));
  EXPECT_EQ(Str(text), "<?xml version=\"1.0\" encoding=\"euc-kr\"?>");
}

TEST(XmlWriter, CDataSplitsItsEndMarker) {
  Kt_DOMElem node(NodeCData);
  node.SetText("a]]>b]]>");
  Kt_AString text;
  ASSERT_TRUE(WriteXmlNode(node, text));
  EXPECT_EQ(Str(text), "<![CDATA[a]]]]><![CDATA[>b]]]]><![CDATA[>]]>");
  Kt_DOMDocument document;
  std::string xml = "<r>" + Str(text) + "</r>";
  ASSERT_GT(document.LoadText(xml), 0);
  Kt_DOMElem* root = document.FindNode("r");
  std::string joined;
  for (std::size_t i = 0; i < root->ChildCount(); ++i) joined += Str(root->ChildAt(i)->Text());
  EXPECT_EQ(joined, "a]]>b]]>");
}

TEST(XmlWriter, OtherElementKindsGetAnEndTag) {
  for (unsigned kind : {64u, 80u, 96u, 97u, 98u}) {
    Kt_DOMElem node(static_cast<NodeKind>(kind), "k");
    Kt_AString text;
    ASSERT_TRUE(WriteXmlNode(node, text, kFlat));
    EXPECT_EQ(Str(text), "<k></k>") << kind;
  }
  Kt_DOMElem unknown(static_cast<NodeKind>(2), "k");
  Kt_AString text;
  ASSERT_TRUE(WriteXmlNode(unknown, text, kFlat));
  EXPECT_EQ(Str(text), "<k>");
}

struct UnwritableCase {
  NodeKind kind;
  std::string name;
  std::string attributeName;
  std::string text;
};

const UnwritableCase kUnwritableRows[] = {
    UnwritableCase{NodeElement, "", "", ""},          UnwritableCase{NodeElement, "a b", "", ""},
    UnwritableCase{NodeTextElement, "a>", "", "x"},   UnwritableCase{NodeElement, "a/", "", ""},
    UnwritableCase{NodeElement, "a\0b"s, "", ""},     UnwritableCase{NodeEmptyElement, "a&b", "", ""},
    UnwritableCase{NodeEmptyElement, "a", "b c", ""}, UnwritableCase{NodeEmptyElement, "a", "b=", ""},
    UnwritableCase{NodeEmptyElement, "a", "\"", ""},  UnwritableCase{NodeDeclaration, "", "", ""},
    UnwritableCase{NodeDeclaration, "x?", "", ""},    UnwritableCase{NodeMarkup, "", "", ""},
    UnwritableCase{NodeComment, "", "", "a-->b"},     UnwritableCase{NodeComment, "", "", "a-"}};

TEST(Unwritable, RefusesWhatCannotBeReadBack) {
  for (const UnwritableCase& row : kUnwritableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kUnwritableRows));
    Kt_DOMElem node(row.kind, AStr(row.name));
    if (!row.attributeName.empty()) node.AddAttribute(AStr(row.attributeName), "v");
    node.SetText(AStr(row.text));
    Kt_AString text;
    EXPECT_FALSE(WriteXmlNode(node, text));
  }
}

TEST(XmlWriter, RefusesTreesDeeperThanTheLimit) {
  Kt_DOMElem top(NodeElement, "e");
  Kt_DOMElem* node = &top;
  for (std::size_t i = 0; i < kDomMaxDepth; ++i) node = node->AddChild(NodeElement, "e");
  Kt_AString text;
  EXPECT_TRUE(WriteXmlNode(top, text, kFlat));  // 257 levels: the deepest at depth 256
  node->AddChild(NodeElement, "e");
  text.Clear();
  EXPECT_FALSE(WriteXmlNode(top, text, kFlat));
}

TEST(XmlWriter, SaveTextConvertsToTheTargetCodePage) {
  XmlCodePageScope scope(1252);
  Kt_DOMDocument document;
  Kt_DOMElem* declaration = document.Nodes().Add(NodeDeclaration, "xml");
  declaration->AddAttribute("encoding", "utf-8");
  Text(&document.Nodes().Add(NodeElement, "r")[0], NodeText, "", "caf\xE9");
  Kt_AString text;
  ASSERT_TRUE(document.SaveText(text, 65001));
  EXPECT_EQ(Str(text), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r>caf\xC3\xA9</r>");
  ASSERT_TRUE(document.SaveText(text, 0));
  EXPECT_EQ(Str(text), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r>caf\xE9</r>");
}

}  // namespace
