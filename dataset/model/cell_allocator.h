#ifndef KT_DATASET_CELL_ALLOCATOR_H
#define KT_DATASET_CELL_ALLOCATOR_H

#include <cstddef>
#include <cstdint>
#include <new>

class Kt_BlockArena;

// Storage of the cell arrays of records. A reader that appends tens of thousands of records at
// once (a list being loaded) opens a Kt_CellArenaScope: while it is open, the cell arrays made on
// its thread are carved from its arena (block_arena.h) instead of the heap, one allocation per
// chunk instead of one per record. Everywhere else cells come from the heap.
//
// Each array is preceded by a small header that says where it came from, so that any array is
// released the right way, on any thread, also after the scope and the arena have gone.
namespace kt_cells {

void* Allocate(std::size_t bytes);  // throws std::bad_alloc, as allocators do
void Release(void* storage) noexcept;

}  // namespace kt_cells

// Scopes of one thread form a chain; the innermost open scope's arena is the one in use. A scope
// that ends leaves the chain wherever it stands in it, so scopes may end in any order: the arena
// of a scope that has ended is never used again.
class Kt_CellArenaScope {
 public:
  explicit Kt_CellArenaScope(Kt_BlockArena& arena) noexcept;
  ~Kt_CellArenaScope();
  Kt_CellArenaScope(const Kt_CellArenaScope&) = delete;
  Kt_CellArenaScope& operator=(const Kt_CellArenaScope&) = delete;

  // The arena cells of this thread come from now, or null for the heap.
  static Kt_BlockArena* Current() noexcept;

 private:
  Kt_BlockArena& m_arena;
  Kt_CellArenaScope* m_outer;  // the scope this one hides
};

template <class T>
struct Kt_CellAllocator {
  using value_type = T;
  Kt_CellAllocator() noexcept = default;
  template <class U>
  Kt_CellAllocator(const Kt_CellAllocator<U>&) noexcept {}  // NOLINT: converting, as allocators are

  T* allocate(std::size_t count) {
    if (count > (static_cast<std::size_t>(-1) - 64) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(kt_cells::Allocate(count * sizeof(T)));
  }
  void deallocate(T* storage, std::size_t) noexcept { kt_cells::Release(storage); }

  friend bool operator==(const Kt_CellAllocator&, const Kt_CellAllocator&) noexcept { return true; }
  friend bool operator!=(const Kt_CellAllocator&, const Kt_CellAllocator&) noexcept { return false; }
};

#endif
