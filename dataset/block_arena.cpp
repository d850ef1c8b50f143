#include "dataset/block_arena.h"

#include <cstdlib>
#include <new>

namespace {

constexpr std::uint32_t kChunkBytes = 64 * 1024;
constexpr std::size_t kAlignment = 8;

std::size_t Aligned(std::size_t bytes) noexcept { return (bytes + kAlignment - 1) & ~(kAlignment - 1); }

}  // namespace

Kt_BlockArena::~Kt_BlockArena() {
  if (m_chunk) Drop(m_chunk);
}

void* Kt_BlockArena::Carve(std::size_t bytes, std::uint32_t& offset) noexcept {
  if (bytes > kLargestCarved) return nullptr;
  const std::size_t size = Aligned(bytes);
  if (!m_chunk || m_chunk->size - m_chunk->used < size) {
    void* raw = std::malloc(kChunkBytes);
    if (!raw) return nullptr;
    auto* chunk = new (raw) Chunk;
    chunk->live.store(1, std::memory_order_relaxed);
    chunk->used = static_cast<std::uint32_t>(Aligned(sizeof(Chunk)));
    chunk->size = kChunkBytes;
    if (m_chunk) Drop(m_chunk);
    m_chunk = chunk;
  }
  offset = m_chunk->used;
  m_chunk->used += static_cast<std::uint32_t>(size);
  m_chunk->live.fetch_add(1, std::memory_order_relaxed);
  return reinterpret_cast<unsigned char*>(m_chunk) + offset;
}

void Kt_BlockArena::ReleaseCarved(void* header, std::uint32_t offset) noexcept {
  Drop(reinterpret_cast<Chunk*>(static_cast<unsigned char*>(header) - offset));
}

void Kt_BlockArena::Drop(Chunk* chunk) noexcept {
  if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    chunk->~Chunk();
    std::free(chunk);
  }
}
