#include "dataset/model/block_arena.h"

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

bool Kt_BlockArena::StartChunk() noexcept {
  void* raw = std::malloc(kChunkBytes);
  if (!raw) return false;
  Retire();
  auto* chunk = new (raw) Chunk;
  chunk->live.store(kReserve, std::memory_order_relaxed);
  chunk->used = static_cast<std::uint32_t>(Aligned(sizeof(Chunk)));
  chunk->size = kChunkBytes;
  m_chunk = chunk;
  return true;
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
