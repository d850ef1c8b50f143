#ifndef KT_DATASET_COUNTED_BLOCK_H
#define KT_DATASET_COUNTED_BLOCK_H

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "dataset/model/block_arena.h"

// Shared storage of Kt_AString, Kt_WString and Kt_Buffer: one pointer to the first data byte,
// preceded by a header. The header fields are fixed 32-bit words on every platform, so the
// layout is the same on 32- and 64-bit builds:
//
//   reference count | capacity | length | allocator word 0 | allocator word 1 | data ... | 0 0
//
// Copies share the block; every change first takes a private block when the block is shared or
// too small (copy-on-write). Two zero bytes always follow the data, so the data can be used as a
// zero-terminated narrow or UTF-16 string. All sizes are byte counts.
struct Kt_BlockHeader {
  std::atomic<std::uint32_t> refs;
  std::uint32_t capacity;
  std::uint32_t length;
  std::uint32_t allocWords[2];  // how the block was allocated: from the heap, or carved from an arena chunk at an offset
};
static_assert(sizeof(std::atomic<std::uint32_t>) == 4, "reference count must be a 32-bit word");
static_assert(std::atomic<std::uint32_t>::is_always_lock_free, "reference count must be lock-free");
static_assert(sizeof(Kt_BlockHeader) == 20, "header is five 32-bit words");

class Kt_CountedBlock {
 public:
  // Largest data size a block can hold; every size request above it fails.
  static constexpr std::size_t kMaxBytes = 0x7FFFFF00u;

  Kt_CountedBlock() noexcept = default;
  Kt_CountedBlock(const Kt_CountedBlock& other) noexcept : m_data(other.m_data) {
    if (m_data) HeaderOf(m_data)->refs.fetch_add(1, std::memory_order_relaxed);
  }
  Kt_CountedBlock(Kt_CountedBlock&& other) noexcept : m_data(other.m_data) { other.m_data = nullptr; }
  Kt_CountedBlock& operator=(const Kt_CountedBlock& other) noexcept {
    if (m_data != other.m_data) {
      Kt_CountedBlock copy(other);
      Swap(copy);
    }
    return *this;
  }
  Kt_CountedBlock& operator=(Kt_CountedBlock&& other) noexcept {
    if (this != &other) {
      Release();
      m_data = other.m_data;
      other.m_data = nullptr;
    }
    return *this;
  }
  ~Kt_CountedBlock() { Release(); }

  // Null when the block is empty and unallocated.
  const unsigned char* Bytes() const noexcept { return m_data; }
  std::size_t Size() const noexcept { return m_data ? Header()->length : 0; }
  std::size_t Capacity() const noexcept { return m_data ? Header()->capacity : 0; }
  std::uint32_t RefCount() const noexcept { return m_data ? Header()->refs.load() : 0; }

  // Each mutator returns false (leaving the contents unchanged) when the size would exceed
  // kMaxBytes, overflows, or memory runs out. Source bytes may lie inside this block.
  bool Assign(const void* bytes, std::size_t count) noexcept;
  // Shares taken in advance, for a cache that hands out many copies of one block: AddShares
  // raises the count by `count` in one atomic step, ShareReserved makes a copy that spends one of
  // them with no atomic step, DropShares gives back those not spent. The caller keeps its own
  // reference for as long as it holds unspent shares.
  void AddShares(std::uint32_t count) noexcept {
    if (m_data) Header()->refs.fetch_add(count, std::memory_order_relaxed);
  }
  Kt_CountedBlock ShareReserved() const noexcept {
    Kt_CountedBlock copy;
    copy.m_data = m_data;
    return copy;
  }
  void DropShares(std::uint32_t count) noexcept {
    if (m_data && count) Header()->refs.fetch_sub(count, std::memory_order_acq_rel);
  }
  // As Assign, into a block carved from the arena when it is small enough (block_arena.h).
  bool AssignCarved(Kt_BlockArena& arena, const void* bytes, std::size_t count) noexcept;
  bool Append(const void* bytes, std::size_t count) noexcept;
  bool Insert(std::size_t offset, const void* bytes, std::size_t count) noexcept;
  bool Erase(std::size_t offset, std::size_t count) noexcept;
  // Sets the size, keeping the first bytes; new bytes are zero and the block becomes private.
  bool Resize(std::size_t count) noexcept;
  bool Reserve(std::size_t capacity) noexcept;
  // Private, writable data (null when the block is empty).
  unsigned char* MutableBytes() noexcept;
  void Clear() noexcept { Release(); }
  void Swap(Kt_CountedBlock& other) noexcept {
    unsigned char* data = m_data;
    m_data = other.m_data;
    other.m_data = data;
  }

 private:
  static Kt_BlockHeader* HeaderOf(unsigned char* data) noexcept {
    return reinterpret_cast<Kt_BlockHeader*>(data - sizeof(Kt_BlockHeader));
  }
  Kt_BlockHeader* Header() const noexcept { return HeaderOf(m_data); }
  // Copies and releases are inline: strings are copied and dropped for every value a list holds.
  void Release() noexcept {
    if (!m_data) return;
    unsigned char* data = m_data;
    m_data = nullptr;
    // The only holder of a block needs no atomic decrement: nobody else can take a new reference.
    std::atomic<std::uint32_t>& refs = HeaderOf(data)->refs;
    if (refs.load(std::memory_order_acquire) == 1 || refs.fetch_sub(1, std::memory_order_acq_rel) == 1) FreeBlock(data);
  }
  static void FreeBlock(unsigned char* data) noexcept;
  // Makes the block private with room for `capacity` bytes, keeping the first min(keep, size).
  bool MakePrivate(std::size_t capacity, std::size_t keep) noexcept;
  void SetLength(std::size_t count) noexcept;

  unsigned char* m_data = nullptr;
};

#endif
