// Cell arrays carved from an arena while a scope is open must behave exactly like heap arrays:
// resized, copied and released in any order, after the scope and the arena are gone, and on any
// thread. ASan checks that every array and chunk is freed exactly once.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dataset/model/block_arena.h"
#include "dataset/model/cell_allocator.h"
#include "dataset/model/record.h"

namespace {

std::unique_ptr<Kt_Record> RecordWithCells(std::size_t width, const std::string& prefix) {
  auto record = std::make_unique<Kt_Record>();
  record->cells.resize(width);
  for (std::size_t i = 0; i < width; ++i) record->cells[i].SetString(Kt_AString((prefix + std::to_string(i)).c_str()));
  return record;
}

void ExpectCells(const Kt_Record& record, std::size_t width, const std::string& prefix) {
  ASSERT_EQ(record.cells.size(), width);
  for (std::size_t i = 0; i < width; ++i) EXPECT_STREQ(record.cells[i].StringValue().c_str(), (prefix + std::to_string(i)).c_str());
}

class CarvedCells : public ::testing::TestWithParam<std::size_t> {};

// Widths around the largest carved block (15 cells and the header fill 248 of its 256 bytes) and none.
INSTANTIATE_TEST_SUITE_P(Widths, CarvedCells,
                         ::testing::Values(std::size_t{0}, std::size_t{1}, std::size_t{9}, std::size_t{15},
                                           std::size_t{16}, std::size_t{200}));

TEST_P(CarvedCells, OutliveTheScopeAndTheArenaAndGrowOnTheHeap) {
  const std::size_t width = GetParam();
  std::vector<std::unique_ptr<Kt_Record>> records;
  {
    Kt_BlockArena arena;
    Kt_CellArenaScope scope(arena);
    for (int i = 0; i < 500; ++i) records.push_back(RecordWithCells(width, "r" + std::to_string(i) + "c"));
  }
  for (int i = 0; i < 500; i += 7) ExpectCells(*records[i], width, "r" + std::to_string(i) + "c");
  // Growing moves the cells to heap storage; a copy is made on the heap.
  records[3]->cells.resize(width + 40);
  EXPECT_STREQ(records[3]->cells[0].StringValue().c_str(), width ? "r3c0" : "");
  Kt_Record copy = *records[4];
  ExpectCells(copy, width, "r4c");
  // Released out of order, half of them on another thread.
  std::thread other([&] {
    for (std::size_t i = 1; i < records.size(); i += 2) records[i].reset();
  });
  for (std::size_t i = records.size(); i-- > 0;) {
    if (i % 2 == 0) records[i].reset();
  }
  other.join();
}

TEST(CellArenaScope, AnInnerScopeHidesTheOuterOneUntilItEnds) {
  std::unique_ptr<Kt_Record> outerBefore, inner, outerAfter, heap;
  {
    Kt_BlockArena outerArena;
    Kt_CellArenaScope outer(outerArena);
    outerBefore = RecordWithCells(3, "a");
    {
      Kt_BlockArena innerArena;
      Kt_CellArenaScope scope(innerArena);
      inner = RecordWithCells(3, "b");
    }
    outerAfter = RecordWithCells(3, "c");
  }
  heap = RecordWithCells(3, "d");
  ExpectCells(*outerBefore, 3, "a");
  ExpectCells(*inner, 3, "b");
  ExpectCells(*outerAfter, 3, "c");
  ExpectCells(*heap, 3, "d");
}

// Scopes that end out of order: the arena of an ended scope (and that arena may be gone) is
// never carved from again; the innermost scope still open serves, then the heap.
TEST(CellArenaScope, ScopesMayEndInAnyOrder) {
  auto firstArena = std::make_unique<Kt_BlockArena>();
  auto first = std::make_unique<Kt_CellArenaScope>(*firstArena);
  auto secondArena = std::make_unique<Kt_BlockArena>();
  auto second = std::make_unique<Kt_CellArenaScope>(*secondArena);
  auto thirdArena = std::make_unique<Kt_BlockArena>();
  auto third = std::make_unique<Kt_CellArenaScope>(*thirdArena);
  EXPECT_EQ(Kt_CellArenaScope::Current(), thirdArena.get());
  second.reset();  // from the middle of the chain
  EXPECT_EQ(Kt_CellArenaScope::Current(), thirdArena.get());
  third.reset();
  EXPECT_EQ(Kt_CellArenaScope::Current(), firstArena.get());
  auto fourthArena = std::make_unique<Kt_BlockArena>();
  auto fourth = std::make_unique<Kt_CellArenaScope>(*fourthArena);
  first.reset();  // an outer scope before the inner one
  firstArena.reset();
  auto fromFourth = RecordWithCells(3, "f");
  EXPECT_EQ(Kt_CellArenaScope::Current(), fourthArena.get());
  fourth.reset();
  EXPECT_EQ(Kt_CellArenaScope::Current(), nullptr);
  auto fromHeap = RecordWithCells(3, "h");  // before the mend: carved from the first arena, long gone
  secondArena.reset();
  thirdArena.reset();
  fourthArena.reset();
  ExpectCells(*fromFourth, 3, "f");
  ExpectCells(*fromHeap, 3, "h");
}

TEST(CellArenaScope, CopiesAndAssignmentsBetweenCarvedAndHeapCells) {
  Kt_Record heapRecord;
  heapRecord.cells.resize(4);
  heapRecord.cells[2].SetInt(7);
  std::unique_ptr<Kt_Record> carved;
  {
    Kt_BlockArena arena;
    Kt_CellArenaScope scope(arena);
    carved = RecordWithCells(6, "x");
    Kt_Record fromHeap = heapRecord;  // carved copy of heap cells
    EXPECT_EQ(fromHeap.cells[2].IntValue(), 7);
    heapRecord = *carved;
  }
  ExpectCells(heapRecord, 6, "x");
  carved->cells = std::move(heapRecord.cells);
  ExpectCells(*carved, 6, "x");
}

}  // namespace
