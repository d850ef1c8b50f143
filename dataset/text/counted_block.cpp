#include "dataset/text/counted_block.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t kSignature = 0x4B74424Bu;        // "KtBK": from the heap
constexpr std::uint32_t kCarvedSignature = 0x4B74434Bu;  // "KtCK": carved, word 1 is the offset
constexpr std::size_t kTerminatorBytes = 2;

unsigned char* AllocateBlock(std::size_t capacity) noexcept {
  if (capacity > Kt_CountedBlock::kMaxBytes) return nullptr;
  void* raw = std::malloc(sizeof(Kt_BlockHeader) + capacity + kTerminatorBytes);
  if (!raw) return nullptr;
  auto* header = new (raw) Kt_BlockHeader;
  header->refs.store(1, std::memory_order_relaxed);
  header->capacity = static_cast<std::uint32_t>(capacity);
  header->length = 0;
  header->allocWords[0] = kSignature;
  header->allocWords[1] = 0;
  auto* data = static_cast<unsigned char*>(raw) + sizeof(Kt_BlockHeader);
  std::memset(data, 0, kTerminatorBytes);
  return data;
}

// Grows geometrically so that repeated appends stay linear.
std::size_t GrownCapacity(std::size_t current, std::size_t needed) noexcept {
  std::size_t grown = current + current / 2;
  if (grown < needed) grown = needed;
  if (grown < 16) grown = 16;
  if (grown > Kt_CountedBlock::kMaxBytes) grown = Kt_CountedBlock::kMaxBytes;
  return grown;
}

bool PointsInto(const void* p, const unsigned char* data, std::size_t size) noexcept {
  auto addr = reinterpret_cast<std::uintptr_t>(p);
  auto begin = reinterpret_cast<std::uintptr_t>(data);
  return data && addr >= begin && addr <= begin + size;
}

}  // namespace

void Kt_CountedBlock::FreeBlock(unsigned char* data) noexcept {
  auto* header = HeaderOf(data);
  const std::uint32_t how = header->allocWords[0];
  const std::uint32_t offset = header->allocWords[1];
  assert(how == kSignature || how == kCarvedSignature);
  header->~Kt_BlockHeader();
  if (how == kCarvedSignature) {
    Kt_BlockArena::ReleaseCarved(header, offset);
  } else {
    std::free(header);
  }
}

void Kt_CountedBlock::SetLength(std::size_t count) noexcept {
  Kt_BlockHeader* header = Header();
  assert(count <= header->capacity);
  header->length = static_cast<std::uint32_t>(count);
  std::memset(m_data + count, 0, kTerminatorBytes);
}

bool Kt_CountedBlock::MakePrivate(std::size_t capacity, std::size_t keep) noexcept {
  if (capacity > kMaxBytes) return false;
  if (m_data && Header()->refs.load(std::memory_order_acquire) == 1 && Header()->capacity >= capacity)
    return true;
  std::size_t size = Size();
  if (keep > size) keep = size;
  if (capacity < keep) capacity = keep;
  unsigned char* fresh = AllocateBlock(capacity);
  if (!fresh) return false;
  if (keep) std::memcpy(fresh, m_data, keep);
  Kt_CountedBlock old;
  old.m_data = m_data;  // released on scope exit, after the copy
  m_data = fresh;
  SetLength(keep);
  return true;
}

bool Kt_CountedBlock::Assign(const void* bytes, std::size_t count) noexcept {
  if (count == 0) {
    Release();
    return true;
  }
  if (!bytes || count > kMaxBytes) return false;
  if (m_data && Header()->refs.load(std::memory_order_acquire) == 1 && Header()->capacity >= count) {
    std::memmove(m_data, bytes, count);
    SetLength(count);
    return true;
  }
  // The old block stays alive until the copy is made, so `bytes` may point into it.
  Kt_CountedBlock fresh;
  fresh.m_data = AllocateBlock(count);
  if (!fresh.m_data) return false;
  std::memcpy(fresh.m_data, bytes, count);
  fresh.SetLength(count);
  Swap(fresh);
  return true;
}

bool Kt_CountedBlock::AssignCarved(Kt_BlockArena& arena, const void* bytes, std::size_t count) noexcept {
  if (count == 0 || !bytes) return Assign(bytes, count);
  std::uint32_t offset = 0;
  void* raw = arena.Carve(sizeof(Kt_BlockHeader) + count + kTerminatorBytes, offset);
  if (!raw) return Assign(bytes, count);
  auto* header = new (raw) Kt_BlockHeader;
  header->refs.store(1, std::memory_order_relaxed);
  header->capacity = static_cast<std::uint32_t>(count);
  header->length = static_cast<std::uint32_t>(count);
  header->allocWords[0] = kCarvedSignature;
  header->allocWords[1] = offset;
  Kt_CountedBlock fresh;
  fresh.m_data = static_cast<unsigned char*>(raw) + sizeof(Kt_BlockHeader);
  std::memcpy(fresh.m_data, bytes, count);
  std::memset(fresh.m_data + count, 0, kTerminatorBytes);
  Swap(fresh);
  return true;
}

bool Kt_CountedBlock::Append(const void* bytes, std::size_t count) noexcept {
  return Insert(Size(), bytes, count);
}

bool Kt_CountedBlock::Insert(std::size_t offset, const void* bytes, std::size_t count) noexcept {
  std::size_t size = Size();
  if (offset > size) return false;
  if (count == 0) return true;
  if (!bytes || count > kMaxBytes - size) return false;
  std::size_t needed = size + count;
  // Bytes from inside this block are copied first: growing may move or free the block.
  Kt_CountedBlock source;
  if (PointsInto(bytes, m_data, size)) {
    if (!source.Assign(bytes, count)) return false;
    bytes = source.m_data;
  }
  std::size_t capacity = Capacity();
  bool privateAndLargeEnough = m_data && Header()->refs.load(std::memory_order_acquire) == 1 && capacity >= needed;
  if (!privateAndLargeEnough && !MakePrivate(GrownCapacity(capacity, needed), size)) return false;
  std::memmove(m_data + offset + count, m_data + offset, size - offset);
  std::memcpy(m_data + offset, bytes, count);
  SetLength(needed);
  return true;
}

bool Kt_CountedBlock::Erase(std::size_t offset, std::size_t count) noexcept {
  std::size_t size = Size();
  if (offset > size) return false;
  if (count > size - offset) count = size - offset;
  if (count == 0) return true;
  if (count == size) {
    Release();
    return true;
  }
  if (!MakePrivate(Capacity(), size)) return false;
  std::memmove(m_data + offset, m_data + offset + count, size - offset - count);
  SetLength(size - count);
  return true;
}

bool Kt_CountedBlock::Resize(std::size_t count) noexcept {
  if (count == 0) {
    Release();
    return true;
  }
  std::size_t size = Size();
  if (count > kMaxBytes) return false;
  if (!MakePrivate(count > Capacity() ? count : Capacity(), count)) return false;
  if (count > size) std::memset(m_data + size, 0, count - size);
  SetLength(count);
  return true;
}

bool Kt_CountedBlock::Reserve(std::size_t capacity) noexcept {
  if (capacity <= Capacity()) return true;
  return MakePrivate(capacity, Size());
}

unsigned char* Kt_CountedBlock::MutableBytes() noexcept {
  if (!m_data) return nullptr;
  if (!MakePrivate(Capacity(), Size())) return nullptr;
  return m_data;
}
