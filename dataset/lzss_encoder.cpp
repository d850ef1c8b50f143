#include "dataset/lzss_encoder.h"

#include <cstdint>
#include <cstring>

#include "dataset/lzss_format.h"

using namespace kt_lzss;

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && (defined(__GNUC__) || defined(__clang__))
#define KT_LZSS_WORDWISE 1
#else
#define KT_LZSS_WORDWISE 0
#endif

namespace {

// Tree links hold ring positions; kNil (one past the ring) marks a missing link. The right links
// have 256 extra slots after kNil: rson[kNil + 1 + c] is the root of the tree of strings that
// begin with byte c.
constexpr int kNil = kRingSize;
constexpr int kRootBase = kNil + 1;

// The string being inserted, bytes 1 to 17 (byte 0 chose the tree), read once per insertion
// rather than once per node met.
class InsertKey {
 public:
  explicit InsertKey(const unsigned char* key) noexcept : m_key(key) {
#if KT_LZSS_WORDWISE
    m_words[0] = Load64(key + 1);
    m_words[1] = Load64(key + 9);
    m_order[0] = __builtin_bswap64(m_words[0]);
    m_order[1] = __builtin_bswap64(m_words[1]);
#endif
  }

  // How many leading bytes the key shares with the string at `node` (whose byte 0 is equal), up
  // to kMaxMatch, and in `cmp` the sign of the byte difference where they part (0 when equal):
  // exactly what a byte-by-byte comparison gives, eight bytes at a time. The ring's tail copy
  // makes all kMaxMatch bytes readable at every position.
  int Compare(const unsigned char* node, int& cmp) const noexcept {
    static_assert(kMaxMatch == 18, "two words and one byte after the first byte");
#if KT_LZSS_WORDWISE
    for (int w = 0; w < 2; ++w) {
      const std::uint64_t word = Load64(node + 1 + 8 * w);
      if (word != m_words[w]) {
        // Byte-swapped, the first differing byte is the most significant difference.
        cmp = m_order[w] > __builtin_bswap64(word) ? 1 : -1;
        return 1 + 8 * w + __builtin_ctzll(word ^ m_words[w]) / 8;
      }
    }
    cmp = m_key[17] - node[17];
    return cmp == 0 ? kMaxMatch : 17;
#else
    int i = 1;
    for (cmp = 0; i < kMaxMatch && (cmp = m_key[i] - node[i]) == 0; ++i) {
    }
    return i;
#endif
  }

 private:
#if KT_LZSS_WORDWISE
  static std::uint64_t Load64(const unsigned char* p) noexcept {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
  }
  std::uint64_t m_words[2];
  std::uint64_t m_order[2];
#endif
  const unsigned char* m_key;
};

}  // namespace

struct Kt_LzssEncoder::State {
  // The ring, followed by a copy of its first kMaxMatch - 1 bytes so that string comparisons need
  // no wrap-around. That copy starts as zeros, not spaces, and is only filled as input arrives.
  unsigned char ring[kRingSize + kMaxMatch - 1];
  int lson[kRingSize + 1];
  int rson[kRingSize + 257];
  int dad[kRingSize + 1];
};

Kt_LzssEncoder::Kt_LzssEncoder() : state_(std::make_unique<State>()) {}

Kt_LzssEncoder::~Kt_LzssEncoder() = default;

void Kt_LzssEncoder::InitTrees() {
  State& st = *state_;
  for (int i = kRootBase; i < kRootBase + 256; ++i) st.rson[i] = kNil;
  for (int i = 0; i < kRingSize; ++i) st.dad[i] = kNil;
}

// Inserts the string at ring position r into its tree and leaves the longest match met on the
// way in match_position_/match_length_. A string equal over the whole look-ahead replaces the
// older node, so each tree holds each string once and the newest position is referenced.
void Kt_LzssEncoder::InsertNode(int r) {
  State& st = *state_;
  const unsigned char* key = &st.ring[r];
  const InsertKey inserted(key);
  int p = kRootBase + key[0];
  int cmp = 1;
  // The best match stays in locals during the walk: stores to members might alias the links and
  // make the compiler read them again at every step.
  int bestPosition = match_position_;
  int bestLength = 0;
  st.rson[r] = st.lson[r] = kNil;
  for (;;) {
    if (cmp >= 0) {
      if (st.rson[p] == kNil) {
        st.rson[p] = r;
        st.dad[r] = p;
        break;
      }
      p = st.rson[p];
    } else {
      if (st.lson[p] == kNil) {
        st.lson[p] = r;
        st.dad[r] = p;
        break;
      }
      p = st.lson[p];
    }
    const int i = inserted.Compare(&st.ring[p], cmp);
    if (i > bestLength) {  // strictly longer: the first of equal matches stays
      bestPosition = p;
      bestLength = i;
      if (i >= kMaxMatch) break;
    }
  }
  match_position_ = bestPosition;
  match_length_ = bestLength;
  if (bestLength < kMaxMatch) return;  // r became a leaf
  st.dad[r] = st.dad[p];
  st.lson[r] = st.lson[p];
  st.rson[r] = st.rson[p];
  st.dad[st.lson[p]] = r;
  st.dad[st.rson[p]] = r;
  if (st.rson[st.dad[p]] == p) {
    st.rson[st.dad[p]] = r;
  } else {
    st.lson[st.dad[p]] = r;
  }
  st.dad[p] = kNil;
}

void Kt_LzssEncoder::DeleteNode(int p) {
  State& st = *state_;
  if (st.dad[p] == kNil) return;
  int q;
  if (st.rson[p] == kNil) {
    q = st.lson[p];
  } else if (st.lson[p] == kNil) {
    q = st.rson[p];
  } else {
    q = st.lson[p];
    if (st.rson[q] != kNil) {
      do {
        q = st.rson[q];
      } while (st.rson[q] != kNil);
      st.rson[st.dad[q]] = st.lson[q];
      st.dad[st.lson[q]] = st.dad[q];
      st.lson[q] = st.lson[p];
      st.dad[st.lson[p]] = q;
    }
    st.rson[q] = st.rson[p];
    st.dad[st.rson[p]] = q;
  }
  st.dad[q] = st.dad[p];
  if (st.rson[st.dad[p]] == p) {
    st.rson[st.dad[p]] = q;
  } else {
    st.lson[st.dad[p]] = q;
  }
  st.dad[p] = kNil;
}

void Kt_LzssEncoder::Encode(const unsigned char* data, std::size_t size,
                            std::vector<unsigned char>& out) {
  if (size == 0) return;
  out.reserve(out.size() + MaxEncodedSize(size));
  State& st = *state_;
  InitTrees();
  std::memset(st.ring, kFillByte, kStartPosition);
  std::memset(st.ring + kStartPosition, 0, sizeof st.ring - kStartPosition);

  std::size_t next = 0;  // next input byte to enter the ring
  int s = 0;             // ring position the next input byte overwrites
  int r = kStartPosition;
  int len = 0;  // bytes of look-ahead still to be coded
  for (; len < kMaxMatch && next < size; ++len) st.ring[r + len] = data[next++];
  for (int i = 1; i <= kMaxMatch; ++i) InsertNode(r - i);
  InsertNode(r);

  unsigned char group[1 + kItemsPerGroup * 2];
  int group_size = 1;
  unsigned char mask = 1;
  group[0] = 0;
  do {
    if (match_length_ > len) match_length_ = len;
    if (match_length_ < kMinMatch) {
      match_length_ = 1;
      group[0] |= mask;
      group[group_size++] = st.ring[r];
    } else {
      group[group_size++] = static_cast<unsigned char>(match_position_);
      group[group_size++] =
          static_cast<unsigned char>(((match_position_ >> 4) & 0xF0) | (match_length_ - kMinMatch));
    }
    mask = static_cast<unsigned char>(mask << 1);
    if (mask == 0) {
      out.insert(out.end(), group, group + group_size);
      group[0] = 0;
      group_size = 1;
      mask = 1;
    }

    const int coded = match_length_;
    int i = 0;
    for (; i < coded && next < size; ++i) {
      DeleteNode(s);
      const unsigned char c = data[next++];
      st.ring[s] = c;
      if (s < kMaxMatch - 1) st.ring[s + kRingSize] = c;
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      InsertNode(r);
    }
    // At the end of the input the look-ahead drains; the ring keeps its old bytes there.
    for (; i < coded; ++i) {
      DeleteNode(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--len != 0) InsertNode(r);
    }
  } while (len > 0);
  if (group_size > 1) out.insert(out.end(), group, group + group_size);
}
