#include "dataset/cell_allocator.h"

#include <cstdlib>

#include "dataset/block_arena.h"

namespace {

// Eight bytes, so that the cells after it keep the alignment of the storage.
struct CellsHeader {
  std::uint32_t how;
  std::uint32_t offset;  // a carved array's distance from its chunk
};
static_assert(sizeof(CellsHeader) == 8, "cells stay 8-byte aligned");

constexpr std::uint32_t kHeapCells = 0x4B744843u;    // "KtHC"
constexpr std::uint32_t kCarvedCells = 0x4B744343u;  // "KtCC"

thread_local Kt_BlockArena* t_arena = nullptr;

}  // namespace

namespace kt_cells {

void* Allocate(std::size_t bytes) {
  const std::size_t total = sizeof(CellsHeader) + bytes;
  std::uint32_t offset = 0;
  void* raw = t_arena ? t_arena->Carve(total, offset) : nullptr;
  std::uint32_t how = kCarvedCells;
  if (!raw) {
    raw = std::malloc(total);
    if (!raw) throw std::bad_alloc();
    how = kHeapCells;
  }
  auto* header = static_cast<CellsHeader*>(raw);
  header->how = how;
  header->offset = offset;
  return header + 1;
}

void Release(void* storage) noexcept {
  if (!storage) return;
  CellsHeader* header = static_cast<CellsHeader*>(storage) - 1;
  if (header->how == kCarvedCells) {
    Kt_BlockArena::ReleaseCarved(header, header->offset);
  } else {
    std::free(header);
  }
}

}  // namespace kt_cells

Kt_CellArenaScope::Kt_CellArenaScope(Kt_BlockArena& arena) noexcept : m_outer(t_arena) { t_arena = &arena; }

Kt_CellArenaScope::~Kt_CellArenaScope() { t_arena = m_outer; }
