#ifndef KT_TESTS_DATASET_REPLAYABLE_RANDOM_H
#define KT_TESTS_DATASET_REPLAYABLE_RANDOM_H

#include <cstdint>

// Deterministic pseudo-random numbers, so that a failure can be replayed from its seed.
class ReplayableRandom {
 public:
  explicit ReplayableRandom(std::uint32_t seed) : m_state(seed) {}
  std::uint32_t Below(std::uint32_t bound) {
    m_state = m_state * 1664525u + 1013904223u;
    return (m_state >> 8) % bound;
  }

 private:
  std::uint32_t m_state;
};

#endif
