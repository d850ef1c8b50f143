#include "dataset/block_arena.h"

#include <cstdlib>
#include <new>

namespace {

constexpr std::uint32_t kChunkBytes = 64 * 1024;
constexpr std::uint32_t kReserve = 0x40000000u;  // far above the blocks one chunk can hold
constexpr std::size_t kAlignment = 8;

std::size_t Aligned(std::size_t bytes) noexcept { return (bytes + kAlignment - 1) & ~(kAlignment - 1); }

}  // namespace

Kt_BlockArena::~Kt_BlockArena() { Retire(); }

void Kt_BlockArena::Retire() noexcept {
  if (!m_chunk) return;
  Drop(m_chunk, kReserve - m_carved);
  m_chunk = nullptr;
  m_carved = 0;
}

void* Kt_BlockArena::Carve(std::size_t bytes, std::uint32_t& offset) noexcept {
  if (bytes > kLargestCarved) return nullptr;
  const std::size_t size = Aligned(bytes);
  if (!m_chunk || m_chunk->size - m_chunk->used < size) {
    void* raw = std::malloc(kChunkBytes);
    if (!raw) return nullptr;
    Retire();
    auto* chunk = new (raw) Chunk;
    chunk->live.store(kReserve, std::memory_order_relaxed);
    chunk->used = static_cast<std::uint32_t>(Aligned(sizeof(Chunk)));
    chunk->size = kChunkBytes;
    m_chunk = chunk;
  }
  offset = m_chunk->used;
  m_chunk->used += static_cast<std::uint32_t>(size);
  ++m_carved;
  return reinterpret_cast<unsigned char*>(m_chunk) + offset;
}

void Kt_BlockArena::ReleaseCarved(void* header, std::uint32_t offset) noexcept {
  Drop(reinterpret_cast<Chunk*>(static_cast<unsigned char*>(header) - offset), 1);
}

void Kt_BlockArena::Drop(Chunk* chunk, std::uint32_t count) noexcept {
  if (chunk->live.fetch_sub(count, std::memory_order_acq_rel) == count) {
    chunk->~Chunk();
    std::free(chunk);
  }
}
