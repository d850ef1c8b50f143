#include "dataset/values/ptr_list.h"

#include <gtest/gtest.h>

#include <string>

#include "dataset/values/list_handlers.h"
#include "dataset/values/variable.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

// Counts live elements, to prove that lists destroy what they own.
struct Tracked {
  static int live;
  int value = 0;
  Tracked() noexcept { ++live; }
  Tracked(const Tracked& other) noexcept : value(other.value) { ++live; }
  Tracked& operator=(const Tracked&) noexcept = default;
  ~Tracked() { --live; }
};
int Tracked::live = 0;

class TrackedHandler : public Kt_TypedHandler<Tracked> {
 public:
  int Compare(const void* a, const void* b) const noexcept override {
    int x = static_cast<const Tracked*>(a)->value;
    int y = static_cast<const Tracked*>(b)->value;
    return (x > y) - (x < y);
  }
};

Tracked Item(int value) {
  Tracked t;
  t.value = value;
  return t;
}

std::string Values(const Kt_PtrList& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const Tracked* t = list.Get<Tracked>(i);
    out += t ? std::to_string(t->value) : "_";
    out += ' ';
  }
  return out;
}

TEST(PtrListUnsorted, AppendsInOrderAndFindsLinearly) {
  TrackedHandler handler;
  Kt_PtrList list(handler, false);
  for (int v : {3, 1, 3, 2}) {
    Tracked t = Item(v);
    EXPECT_GE(list.Add(&t), 0);
  }
  EXPECT_EQ(Values(list), "3 1 3 2 ");
  Tracked key = Item(3);
  EXPECT_EQ(list.Find(&key), 0);
  key.value = 9;
  EXPECT_EQ(list.Find(&key), -1);
  ASSERT_TRUE(list.AppendEmpty());
  EXPECT_EQ(list.At(4), nullptr);
  EXPECT_EQ(list.Find(&key), -1);
  EXPECT_NE(list.AppendNew(), nullptr);
  EXPECT_EQ(Values(list), "3 1 3 2 _ 0 ");
}

TEST(PtrListSorted, KeepsOrderWithSetSemantics) {
  TrackedHandler handler;
  {
    Kt_PtrList list(handler, true);
    for (int v : {5, 1, 4, 1, 9, 4}) {
      Tracked t = Item(v);
      list.Add(&t);
    }
    EXPECT_EQ(Values(list), "1 4 5 9 ");
    Tracked key = Item(5);
    EXPECT_EQ(list.Find(&key), 2);
    key.value = 6;
    EXPECT_EQ(list.Find(&key), -1);
    EXPECT_EQ(list.AppendNew(), nullptr);
    EXPECT_FALSE(list.AppendEmpty());
    auto* adopted = static_cast<Tracked*>(handler.NewElement());
    adopted->value = 4;
    EXPECT_EQ(list.Adopt(adopted), 1);  // equal element: copied onto it, the new one deleted
    EXPECT_EQ(list.Count(), 4);
    auto* other = static_cast<Tracked*>(handler.NewElement());
    EXPECT_EQ(list.InsertAt(0, other), -1);  // sorted lists insert by order only
  }
  EXPECT_EQ(Tracked::live, 0);
}

TEST(PtrListOwnership, RemoveDetachClearAndCopyBalanceTheElements) {
  TrackedHandler handler;
  {
    Kt_PtrList list(handler, false);
    for (int v = 0; v < 5; ++v) {
      Tracked t = Item(v);
      list.Add(&t);
    }
    EXPECT_EQ(Tracked::live, 5);
    EXPECT_TRUE(list.RemoveAt(1));
    EXPECT_FALSE(list.RemoveAt(4));
    EXPECT_FALSE(list.RemoveAt(-1));
    void* detached = list.DetachAt(0);
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(Values(list), "2 3 4 ");
    handler.DeleteElement(detached);
    EXPECT_EQ(list.DetachAt(7), nullptr);
    list.AppendEmpty();
    Kt_PtrList copy(handler, false);
    ASSERT_TRUE(copy.CopyFrom(list));
    EXPECT_EQ(Values(copy), "2 3 4 _ ");
    EXPECT_TRUE(copy.CopyFrom(copy));
    EXPECT_EQ(Tracked::live, 6);
    EXPECT_EQ(list.InsertAt(1, handler.CloneElement(list.At(0))), 1);
    EXPECT_EQ(list.InsertAt(99, handler.NewElement()), -1);
    EXPECT_EQ(Values(list), "2 2 3 4 _ ");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.At(0), nullptr);
  }
  EXPECT_EQ(Tracked::live, 0);
}

TEST(PtrListPool, ReusesStorageOfDeletedElements) {
  TrackedHandler handler;
  void* first = handler.NewElement();
  handler.DeleteElement(first);
  EXPECT_EQ(handler.Pool().SpareCount(), 1u);
  void* second = handler.NewElement();
  EXPECT_EQ(second, first);
  EXPECT_EQ(handler.Pool().SpareCount(), 0u);
  handler.DeleteElement(second);
  handler.DeleteElement(nullptr);
  EXPECT_EQ(handler.CloneElement(nullptr), nullptr);
}

TEST(ElementHandlers, CompareRulesOfEachType) {
  Kt_AString a("a"), b("B"), empty;
  EXPECT_GT(Kt_AStringHandler::Instance().Compare(&a, &b), 0);  // byte-wise: 'a' > 'B'
  EXPECT_LT(Kt_AStringHandler::Instance().Compare(&empty, &b), 0);
  Kt_Variable x, y;
  x.name = "Name";
  y.name = "NAME";
  EXPECT_EQ(Kt_VariableHandler::Instance().Compare(&x, &y), 0);
  Kt_Variant v;
  EXPECT_EQ(Kt_VariantHandler::Instance().Compare(&v, &v), -1);
  Kt_Buffer shortBuffer("z", 1), longBuffer("aa", 2);
  EXPECT_LT(Kt_BufferHandler::Instance().Compare(&shortBuffer, &longBuffer), 0);
  Kt_WString w1(u"a"), w2(u"b");
  EXPECT_LT(Kt_WStringHandler::Instance().Compare(&w1, &w2), 0);

  Kt_PtrList strings(Kt_AStringHandler::Instance(), true);
  for (const char* s : {"b", "a", "B", "a"}) {
    Kt_AString text(s);
    strings.Add(&text);
  }
  ASSERT_EQ(strings.Count(), 3);
  EXPECT_EQ(Bytes(*strings.Get<Kt_AString>(0)), "B");
}

}  // namespace
