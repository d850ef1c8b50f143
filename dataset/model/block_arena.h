#ifndef KT_DATASET_BLOCK_ARENA_H
#define KT_DATASET_BLOCK_ARENA_H

#include <atomic>
#include <cstddef>
#include <cstdint>

// Carves the storage blocks of small strings out of large chunks, for a reader that makes tens of
// thousands of them at once (the cells of a list): one allocation per chunk instead of one per
// string, and no heap walk when they are released.
//
// A block from a chunk behaves like any other block (counted_block.h): it is shared, copied on
// write and released as usual. Its header's allocator words mark it as carved and give its
// distance from the chunk; the chunk counts its live blocks and is freed with the last of them,
// so strings may outlive the arena and be released on any thread. The price is that one string
// kept alive keeps its whole chunk.
//
// The arena itself is used from one thread at a time.
class Kt_BlockArena {
 public:
  Kt_BlockArena() noexcept = default;
  ~Kt_BlockArena();
  Kt_BlockArena(const Kt_BlockArena&) = delete;
  Kt_BlockArena& operator=(const Kt_BlockArena&) = delete;

  // Largest block (header, data and terminator) carved from a chunk; larger ones use the heap.
  static constexpr std::size_t kLargestCarved = 256;

  // Storage for a block of `bytes` bytes, header included, or null when it is larger than
  // kLargestCarved or memory runs out. The caller writes the header; `offset` receives the
  // block's distance from its chunk, for ReleaseCarved.
  void* Carve(std::size_t bytes, std::uint32_t& offset) noexcept {
    if (bytes > kLargestCarved) return nullptr;
    const auto size = static_cast<std::uint32_t>((bytes + 7) & ~std::size_t{7});  // keeps blocks 8-byte aligned
    if ((!m_chunk || m_chunk->size - m_chunk->used < size) && !StartChunk()) return nullptr;
    offset = m_chunk->used;
    m_chunk->used += size;
    ++m_carved;
    return reinterpret_cast<unsigned char*>(m_chunk) + offset;
  }

  // Releases one block carved at `header`, `offset` bytes into its chunk.
  static void ReleaseCarved(void* header, std::uint32_t offset) noexcept;

 private:
  // While a chunk is current, its count holds a large reserve instead of being raised for every
  // block carved (releases, which may come from any thread, lower it); retiring the chunk takes
  // back the part of the reserve not carved, leaving the count of live blocks.
  struct Chunk {
    std::atomic<std::uint32_t> live;
    std::uint32_t used;
    std::uint32_t size;
  };
  static void Drop(Chunk* chunk, std::uint32_t count) noexcept;
  void Retire() noexcept;
  // Makes a new chunk current; false when memory runs out (the current one is then kept).
  bool StartChunk() noexcept;

  Chunk* m_chunk = nullptr;
  std::uint32_t m_carved = 0;  // blocks carved from the current chunk
};

#endif
