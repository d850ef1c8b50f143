#include <gtest/gtest.h>

#include "dataset/xml/dom_document.h"
#include "dataset/xml/dom_elem_handlers.h"
#include "dataset/values/ptr_list.h"
#include "tests/dataset/xml_test_support.h"

namespace {

TEST(DomElemHandler, ListOfNodesCopiesDeeplyAndNeverSorts) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<r a=\"1\"><b>t</b></r>"), 0);
  Kt_PtrList list(Kt_DOMElemHandler::Instance(), false);
  ASSERT_EQ(list.Add(document.FindNode("r")), 0);
  ASSERT_EQ(list.Add(document.FindNode("r")), 1);  // equal nodes are still two entries
  document.Clear();
  auto* copy = list.Get<Kt_DOMElem>(1);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Str(copy->Name()), "r");
  EXPECT_EQ(Str(copy->GetAttribute("a")), "1");
  ASSERT_EQ(copy->ChildCount(), 1u);
  EXPECT_EQ(Str(copy->ChildAt(0)->Text()), "t");
  EXPECT_EQ(Kt_DOMElemHandler::Instance().Compare(copy, copy), -1);
  auto* fresh = static_cast<Kt_DOMElem*>(list.AppendNew());
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->Kind(), NodeElement);
  Kt_PtrList copied(Kt_DOMElemHandler::Instance(), false);
  ASSERT_TRUE(copied.CopyFrom(list));
  EXPECT_EQ(copied.Count(), 3);
}

TEST(DomElemHandler, CopyRefusesTooDeepTrees) {
  Kt_DOMElem top;
  Kt_DOMElem* node = &top;
  for (std::size_t i = 0; i <= kDomMaxDepth; ++i) node = node->AddChild(NodeElement, "e");
  Kt_PtrList list(Kt_DOMElemHandler::Instance(), false);
  EXPECT_EQ(list.Add(&top), -1);
  EXPECT_EQ(list.Count(), 0);
}

TEST(DomElemListHandler, ListOfNodeListsCopiesDeeply) {
  Kt_DOMDocument document;
  ASSERT_GT(document.LoadText("<?xml?><r><x/></r>"), 0);
  Kt_PtrList lists(Kt_DOMElemListHandler::Instance(), false);
  ASSERT_EQ(lists.Add(&document.Nodes()), 0);
  document.Clear();
  auto* copy = lists.Get<Kt_DOMElemList>(0);
  ASSERT_EQ(copy->Count(), 2u);
  EXPECT_EQ(copy->At(0)->Kind(), NodeDeclaration);
  EXPECT_EQ(Str(copy->At(1)->ChildAt(0)->Name()), "x");
  EXPECT_EQ(Kt_DOMElemListHandler::Instance().Compare(copy, copy), -1);
}

}  // namespace
