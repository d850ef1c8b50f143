#include "dataset/xml/xml_dom_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "dataset/xml/dom_document.h"
#include "dataset/xml/xml_tokenizer.h"
#include "tests/dataset/xml_test_support.h"

namespace {

// A compact picture of a node list: kind:name"text"[attributes]{children}.
std::string Shape(const Kt_DOMElemList* nodes);

std::string Shape(const Kt_DOMElem& node) {
  std::string shape = std::to_string(node.Kind());
  if (!node.Name().IsEmpty()) shape += ":" + Str(node.Name());
  if (!node.Text().IsEmpty()) shape += "\"" + Str(node.Text()) + "\"";
  if (node.AttributeCount()) {
    shape += "[";
    for (std::size_t i = 0; i < node.AttributeCount(); ++i) {
      shape += (i ? "," : "") + Str(node.AttributeAt(i)->name) + "=" + Str(node.AttributeAt(i)->value);
    }
    shape += "]";
  }
  if (node.ChildCount()) shape += "{" + Shape(node.Children()) + "}";
  return shape;
}

std::string Shape(const Kt_DOMElemList* nodes) {
  std::string shape;
  for (std::size_t i = 0; nodes && i < nodes->Count(); ++i) shape += (i ? " " : "") + Shape(*nodes->At(i));
  return shape;
}

struct BuildCase {
  const char* xml;
  const char* shape;
  bool keepWhitespace;
  bool keepComments;
};

const BuildCase kBuilderTableRows[] = {
    BuildCase{"<a>text</a>", "51:a\"text\"", false, false}, BuildCase{"<a/>", "49:a", false, false},
    BuildCase{"<a></a>", "48:a", false, false}, BuildCase{"<a>  </a>", "48:a", false, false},
    BuildCase{"<a>  </a>", "48:a{1\"  \"}", true, false},
    BuildCase{"<a><![CDATA[x<y]]></a>", "52:a\"x<y\"", false, false},
    BuildCase{"<a><![CDATA[]]></a>", "52:a", false, false},
    // Text interrupted by a comment or a CDATA section.
    BuildCase{"<a>x<!--c-->y</a>", "48:a{0\"x\" 0\"y\"}", false, false},
    BuildCase{"<a>x<!--c-->y</a>", "48:a{0\"x\" 153\"c\" 0\"y\"}", false, true},
    BuildCase{"<a>x<![CDATA[y]]></a>", "48:a{0\"x\" 18\"y\"}", false, false},
    BuildCase{"<a><![CDATA[x]]>y</a>", "48:a{18\"x\" 0\"y\"}", false, false},
    BuildCase{"<a><![CDATA[x]]><![CDATA[y]]></a>", "48:a{18\"x\" 18\"y\"}", false, false},
    BuildCase{"<a>x<b/>y</a>", "48:a{0\"x\" 49:b 0\"y\"}", false, false},
    BuildCase{"<a> x </a>", "51:a\"x\"", false, false},
    BuildCase{"<a> x </a>", "48:a{1\" \" 0\"x\" 1\" \"}", true, false},
    BuildCase{"<a><!--only--></a>", "48:a", false, false},
    BuildCase{"<a><!--only--></a>", "48:a{153\"only\"}", false, true},
    // Unescaping of text and attributes; CDATA and comments stay as they are.
    BuildCase{"<a>&#32;x&lt;y&#32;</a>", "51:a\" x<y \"", false, false},
    BuildCase{"<a b=\"1&#32;2\" c='&quot;' d=\"\"/>", "49:a[b=1 2,c=\",d=]", false, false},
    BuildCase{"<a><![CDATA[&amp;]]></a>", "52:a\"&amp;\"", false, false},
    BuildCase{"<a><!--&amp;--></a>", "48:a{153\"&amp;\"}", false, true},
    // Declarations, markup declarations, the tree of a dataset document.
    BuildCase{"<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<root/>", "16:xml[version=1.0,encoding=euc-kr] 49:root",
              false, false},
    BuildCase{"<?pi not attributes ?><r/>", "16:pi 49:r", false, false},
    BuildCase{"<!DOCTYPE r SYSTEM \"x\"><r/>", "17:DOCTYPE\" r SYSTEM \"x\"\" 49:r", false, false},
    BuildCase{"<xml a=\"1\">t</xml>", "51:xml\"t\"[a=1]", false, false},
    BuildCase{"<root>\r\n\t<dataset id=\"L\">\r\n\t\t<record type=\"insert\">\r\n\t\t\t<F>a.dll</F>\r\n\t\t\t<V/>"
              "\r\n\t\t\t<E></E>\r\n\t\t</record>\r\n\t</dataset>\r\n</root>",
              "48:root{48:dataset[id=L]{48:record[type=insert]{51:F\"a.dll\" 49:V 48:E}}}", false, false},
    // Text outside the root element stays at the top level.
    BuildCase{"lead<r/>trail", "0\"lead\" 49:r 0\"trail\"", false, false}};

TEST(BuilderTable, BuildsTheTree) {
  for (const BuildCase& row : kBuilderTableRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kBuilderTableRows));
    Kt_DOMDocument document;
    Kt_XmlLoadOptions options;
    options.keepWhitespace = row.keepWhitespace;
    options.keepComments = row.keepComments;
    Kt_XmlStatus status;
    ASSERT_GT(document.LoadText(row.xml, &status, options), 0) << DescribeXmlStatus(status).c_str();
    EXPECT_EQ(Shape(&document.Nodes()), row.shape) << row.xml;
  }
}

TEST(Builder, FindsChildrenAndAttributesWithoutRegardToCase) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<Root><Item ID=\"1\"/><other/><ITEM id=\"2\"/><item Id=\"3\" id=\"4\"/></Root>"), 0);
  Kt_DOMElem* root = document.FindNode("root");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Str(root->FindChild("item", 0)->GetAttribute("id")), "1");
  EXPECT_EQ(Str(root->FindChild("item", 1)->GetAttribute("Id")), "2");
  EXPECT_EQ(Str(root->FindChild("item", 2)->GetAttribute("ID")), "3");  // the first of a repeated name
  EXPECT_EQ(root->FindChild("item", 3), nullptr);
  EXPECT_EQ(root->FindChild("ite"), nullptr);
  EXPECT_EQ(root->FindChild("items"), nullptr);
  EXPECT_EQ(root->FindChild("other")->FindAttribute("id"), nullptr);
  EXPECT_TRUE(root->FindChild("other")->GetAttribute("id").IsEmpty());
}

TEST(Builder, RepeatedNamesShareOneBuffer) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<r><record type=\"insert\"/><record type=\"insert\"/></r>"), 0);
  Kt_DOMElem* root = document.FindNode("r");
  EXPECT_EQ(root->ChildAt(0)->Name().c_str(), root->ChildAt(1)->Name().c_str());
  EXPECT_EQ(root->ChildAt(0)->GetAttribute("type").c_str(), root->ChildAt(1)->GetAttribute("type").c_str());
  // Sharing is copy-on-write: changing one name leaves the other.
  Kt_AString name = root->ChildAt(0)->Name();
  name.Append('x');
  root->ChildAt(0)->SetName(name);
  EXPECT_EQ(Str(root->ChildAt(1)->Name()), "record");
}

// Only "<?xml ...?>" is a declaration. A start tag named xml opens an ordinary element: as a
// declaration node its content and end tag would be dropped when the tree is written again.
TEST(Builder, AStartTagNamedXmlIsAnElementThatKeepsItsContent) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<xml version=\"2\"><b>t</b><c/></xml><XML/>"), 0);
  EXPECT_EQ(Shape(&document.Nodes()), "48:xml[version=2]{51:b\"t\" 49:c} 49:XML");
  Kt_AString text;
  ASSERT_TRUE(document.SaveText(text, 0));
  Kt_DOMDocument again;
  ASSERT_GT(again.LoadText(std::string_view(text.c_str(), text.Length())), 0) << text.c_str();
  EXPECT_EQ(Shape(&again.Nodes()), Shape(&document.Nodes())) << text.c_str();
}

TEST(Builder, FailedLoadLeavesTheDocumentEmpty) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<r/>"), 0);
  Kt_XmlStatus status;
  EXPECT_EQ(document.LoadText("<?xml?><root><a>x</b></root>", &status), -1);
  EXPECT_EQ(status.error, Kt_XmlError::MismatchedEndTag);
  EXPECT_EQ(status.offset, 17u);
  EXPECT_EQ(document.Nodes().Count(), 0u);
  EXPECT_EQ(document.LoadText(""), 0);
  EXPECT_EQ(document.Nodes().Count(), 0u);
}

TEST(Builder, ElementsAreCopiedDeeply) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<r a=\"1\"><b>t</b><c><d/></c></r>"), 0);
  Kt_DOMDocument copy;
  ASSERT_TRUE(copy.CopyFrom(document));
  EXPECT_EQ(Shape(&copy.Nodes()), Shape(&document.Nodes()));
  document.FindNode("r")->ClearChildren();
  EXPECT_EQ(Shape(&copy.Nodes()), "48:r[a=1]{51:b\"t\" 48:c{49:d}}");
}

TEST(Builder, CopyRefusesTreesDeeperThanTheLimit) {
  Kt_DOMElem top;
  Kt_DOMElem* node = &top;
  for (std::size_t i = 0; i <= kDomMaxDepth; ++i) node = node->AddChild(NodeElement, "e");
  Kt_DOMElem copy;
  EXPECT_FALSE(copy.CopyFrom(top));
  EXPECT_EQ(copy.ChildCount(), 0u);
}

TEST(Builder, AttributesSetAndReplace) {
  Kt_DOMElem node(NodeEmptyElement, "n");
  EXPECT_TRUE(node.SetAttribute("id", "1"));
  EXPECT_TRUE(node.SetAttribute("ID", "2"));
  EXPECT_TRUE(node.AddAttribute("id", "3"));
  ASSERT_EQ(node.AttributeCount(), 2u);
  EXPECT_EQ(Str(node.GetAttribute("Id")), "2");
  EXPECT_EQ(Str(node.AttributeAt(1)->value), "3");
  EXPECT_EQ(node.AttributeAt(2), nullptr);
}

}  // namespace
