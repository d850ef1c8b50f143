#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "dataset/xml/dom_document.h"
#include "dataset/xml/xml_writer.h"
#include "tests/dataset/replayable_random.h"
#include "tests/dataset/xml_test_support.h"

namespace {

using namespace std::string_literals;

using Random = ReplayableRandom;

// One to twelve bytes, any but zero, with markup characters and white space often.
std::string RandomText(Random& random, bool forCData) {
  static const char kSpecial[] = " \t\r\n&<>\"';#x";
  std::string text;
  std::uint32_t length = 1 + random.Below(12);
  for (std::uint32_t i = 0; i < length; ++i) {
    char ch = random.Below(2) ? kSpecial[random.Below(sizeof kSpecial - 1)] : static_cast<char>(1 + random.Below(255));
    text.push_back(ch);
  }
  if (forCData) {
    for (std::size_t at; (at = text.find("]]>")) != std::string::npos;) text.erase(at, 3);
    if (text.empty()) text = "c";
  }
  return text;
}

void AddRandomChildren(Kt_DOMElem& parent, Random& random, std::size_t depth) {
  static const char* const kNames[] = {"record", "FILENAME", "a", "B", "x.y", "\xB0\xA1", "n-1", "_"};
  std::uint32_t count = 1 + random.Below(4);
  bool lastWasText = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    // Text between elements; never two texts in a row (they would read back as one).
    if (!lastWasText && count > 1 && random.Below(4) == 0) {
      parent.AddChild(NodeText)->SetText(AStr(RandomText(random, false)));
      lastWasText = true;
      continue;
    }
    lastWasText = false;
    Kt_DOMElem* child = parent.AddChild(NodeElement, kNames[random.Below(8)]);
    for (std::uint32_t a = random.Below(3); a > 0; --a) {
      child->AddAttribute(a == 1 ? "id" : "type", AStr(RandomText(random, false)));
    }
    switch (depth < 6 ? random.Below(5) : 1 + random.Below(4)) {
      case 0:
        AddRandomChildren(*child, random, depth + 1);
        break;
      case 1:
        child->SetKind(NodeEmptyElement);
        break;
      case 2:
        break;  // empty content
      case 3:
        child->SetKind(NodeTextElement);
        child->SetText(AStr(RandomText(random, false)));
        break;
      default:
        child->SetKind(NodeCDataElement);
        child->SetText(AStr(RandomText(random, true)));
        break;
    }
  }
  // A lone text child reads back as the element's own text: keep mixed content mixed.
  if (parent.ChildCount() == 1 && parent.ChildAt(0)->Kind() == NodeText) parent.AddChild(NodeEmptyElement, "pad");
}

std::string Shape(const Kt_DOMElemList* nodes) {
  std::string shape;
  for (std::size_t i = 0; nodes && i < nodes->Count(); ++i) {
    const Kt_DOMElem& node = *nodes->At(i);
    shape += std::to_string(node.Kind()) + "<" + Str(node.Name()) + ">[";
    for (std::size_t a = 0; a < node.AttributeCount(); ++a) {
      shape += Str(node.AttributeAt(a)->name) + "=" + Str(node.AttributeAt(a)->value) + ";";
    }
    shape += "]'" + Str(node.Text()) + "'{" + Shape(node.Children()) + "}";
  }
  return shape;
}

void WriteThenRead(std::uint32_t seed) {
  Random random(seed);
  Kt_DOMDocument original;
  Kt_DOMElem* declaration = original.Nodes().Add(NodeDeclaration, "xml");
  declaration->AddAttribute("version", "1.0");
  declaration->AddAttribute("encoding", "iso-8859-1");
  AddRandomChildren(*original.Nodes().Add(NodeElement, "root"), random, 0);

  for (bool indent : {true, false}) {
    Kt_AString text;
    ASSERT_TRUE(WriteXml(original.Nodes(), text, Kt_XmlWriteOptions{true, indent, ' '}));
    Kt_DOMDocument read;
    Kt_XmlStatus status;
    ASSERT_GT(read.LoadText(std::string_view(text.c_str(), text.Length()), &status), 0)
        << DescribeXmlStatus(status).c_str() << "\n"
        << text.c_str();
    EXPECT_EQ(Shape(&read.Nodes()), Shape(&original.Nodes())) << text.c_str();
    EXPECT_EQ(read.CodePage(), 1252u);
  }
}

TEST(RandomTrees, WriteThenReadGivesTheSameTree) {
  XmlCodePageScope scope(1252);
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    WriteThenRead(seed);
  }
}

struct SaveCase {
  unsigned codePage;
  const char* encoding;
};

const SaveCase kSaveInCodePageRows[] = {SaveCase{1252, "iso-8859-1"}, SaveCase{65001, "utf-8"},
                                        SaveCase{1200, "utf-16"}, SaveCase{1254, "windows-1254"}};

TEST(SaveInCodePage, ReadsBackWithTheSameTextAndCodePage) {
  for (const SaveCase& row : kSaveInCodePageRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kSaveInCodePageRows));
    XmlCodePageScope scope(1252);
    Kt_DOMDocument source;
    ASSERT_GT(source.LoadText("<?xml version=\"1.0\" encoding=\""s + row.encoding +
                              "\"?><root><v a=\"caf&#233;&#32;x\">na&#239;ve&#32;&amp;</v></root>"),
              0);
    Kt_AString saved;
    ASSERT_TRUE(source.SaveText(saved, row.codePage));
    Kt_DOMDocument read;
    ASSERT_GT(read.LoadText(std::string_view(saved.c_str(), saved.Length())), 0);
    EXPECT_EQ(read.CodePage(), row.codePage);
    Kt_DOMElem* value = read.FindNode("root")->FindChild("v");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Str(value->Text()), "na\xEFve &");
    EXPECT_EQ(Str(value->GetAttribute("a")), "caf\xE9 x");
  }
}

TEST(RoundTrip, SpacesSurviveAsReferences) {
  Kt_DOMDocument document;
  Kt_DOMElem* value = document.Nodes().Add(NodeTextElement, "v");
  value->SetText("  two  spaces  ");
  Kt_AString text;
  ASSERT_TRUE(document.SaveText(text, 0));
  EXPECT_EQ(Str(text), "\r\n<v>&#32;&#32;two&#32;&#32;spaces&#32;&#32;</v>");
  Kt_DOMDocument read;
  ASSERT_GT(read.LoadText(std::string_view(text.c_str(), text.Length())), 0);
  EXPECT_EQ(Str(read.FindNode("v")->Text()), "  two  spaces  ");
}

TEST(RoundTrip, TextWrittenTwiceIsStable) {
  const char* xml =
      "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<root>\r\n\t<params/>\r\n\t<dataset id=\"A&#32;B\">"
      "\r\n\t\t<record type=\"update\">\r\n\t\t\t<C>x<![CDATA[y]]>z</C>\r\n\t\t\t<org_record>\r\n\t\t\t\t<C>w</C>"
      "\r\n\t\t\t</org_record>\r\n\t\t</record>\r\n\t</dataset>\r\n</root>";
  XmlCodePageScope scope(949);
  Kt_DOMDocument first;
  ASSERT_GT(first.LoadText(xml), 0);
  Kt_AString once;
  ASSERT_TRUE(first.SaveText(once, 949));
  Kt_DOMDocument second;
  ASSERT_GT(second.LoadText(std::string_view(once.c_str(), once.Length())), 0);
  Kt_AString twice;
  ASSERT_TRUE(second.SaveText(twice, 949));
  EXPECT_EQ(Str(once), Str(twice));
  EXPECT_EQ(Str(once).find("<C>x\r\n\t\t\t\t<![CDATA[y]]>z\r\n\t\t\t</C>"), std::string::npos);
  EXPECT_NE(Str(once).find("<C>x<![CDATA[y]]>z\r\n\t\t\t</C>"), std::string::npos);
}

}  // namespace
