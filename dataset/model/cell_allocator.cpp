#include "dataset/model/cell_allocator.h"

#include <cstdlib>

#include "dataset/model/block_arena.h"

namespace {

// Eight bytes, so that the cells after it keep the alignment of the storage.
struct CellsHeader {
  std::uint32_t how;
  std::uint32_t offset;  // a carved array's distance from its chunk
};
static_assert(sizeof(CellsHeader) == 8, "cells stay 8-byte aligned");

constexpr std::uint32_t kHeapCells = 0x4B744843u;    // "KtHC"
constexpr std::uint32_t kCarvedCells = 0x4B744343u;  // "KtCC"

thread_local Kt_CellArenaScope* t_innermost = nullptr;

}  // namespace

namespace kt_cells {

void* Allocate(std::size_t bytes) {
  const std::size_t total = sizeof(CellsHeader) + bytes;
  std::uint32_t offset = 0;
  Kt_BlockArena* arena = Kt_CellArenaScope::Current();
  void* raw = arena ? arena->Carve(total, offset) : nullptr;
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

Kt_CellArenaScope::Kt_CellArenaScope(Kt_BlockArena& arena) noexcept : m_arena(arena), m_outer(t_innermost) {
  t_innermost = this;
}

Kt_CellArenaScope::~Kt_CellArenaScope() {
  Kt_CellArenaScope** link = &t_innermost;
  while (*link && *link != this) link = &(*link)->m_outer;
  if (*link) *link = m_outer;
}

Kt_BlockArena* Kt_CellArenaScope::Current() noexcept { return t_innermost ? &t_innermost->m_arena : nullptr; }
