#include "dataset/binary/lzss_encoder.h"

#include <cstdint>
#include <cstring>

#include "dataset/binary/lzss_format.h"

using namespace kt_lzss;

namespace {

// Tree links hold ring positions; kNil (one past the ring) marks a missing link. After kNil come
// 256 roots, one per first byte: the right link of root kRootBase + c is the tree of strings that
// begin with byte c. All of these fit in 16 bits, which keeps the links of the whole ring within
// 26 KB, next to the ring itself in the first-level cache.
constexpr int kNil = kRingSize;
constexpr int kRootBase = kNil + 1;
constexpr int kNodeCount = kRootBase + 256;
static_assert(kNodeCount <= 0x10000, "links are 16-bit");

// Links by direction, so that replacing a node in its parent needs one test, not two paths.
constexpr int kRight = 0;
constexpr int kLeft = 1;

struct Node {
  std::uint16_t child[2];  // kRight, kLeft
  std::uint16_t dad;
};

std::uint64_t Load64(const unsigned char* p) noexcept {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Which byte of two words read from memory is the first to differ, given their difference (not
// zero).
int FirstDifferingByte(std::uint64_t difference) noexcept {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return __builtin_clzll(difference) / 8;
#else
  return __builtin_ctzll(difference) / 8;
#endif
}

// True when the kMaxMatch bytes at a and b are equal.
bool SameString(const unsigned char* a, const unsigned char* b) noexcept {
  static_assert(kMaxMatch == 18, "two words and two bytes");
  return ((Load64(a) ^ Load64(b)) | (Load64(a + 8) ^ Load64(b + 8))) == 0 && a[16] == b[16] &&
         a[17] == b[17];
}

// The string being inserted, bytes 1 to 17 (byte 0 chose the tree), read once per insertion
// rather than once per node met.
class InsertKey {
 public:
  explicit InsertKey(const unsigned char* key) noexcept
      : m_key(key), m_words{Load64(key + 1), Load64(key + 9)} {}

  // How many leading bytes the key shares with the string at `node` (whose byte 0 is equal), up
  // to kMaxMatch, and in `cmp` the sign of the byte difference where they part (0 when equal):
  // exactly what a byte-by-byte comparison gives. The ring's tail copy makes all kMaxMatch bytes
  // readable at every position.
  int Compare(const unsigned char* node, int& cmp) const noexcept {
    static_assert(kMaxMatch == 18, "two words and one byte after the first byte");
    // The first byte that differs among bytes 1 to 16, else byte 17, decides; the first 16
    // are compared eight at a time.
    const std::uint64_t low = Load64(node + 1) ^ m_words[0];
    const std::uint64_t high = Load64(node + 9) ^ m_words[1];
    int i = kMaxMatch - 1;
    if (low != 0) {
      i = 1 + FirstDifferingByte(low);
    } else if (high != 0) {
      i = 9 + FirstDifferingByte(high);
    }
    cmp = m_key[i] - node[i];
    return cmp == 0 ? kMaxMatch : i;
  }

 private:
  const unsigned char* m_key;
  std::uint64_t m_words[2];
};

}  // namespace

// The ring and its search trees.
//
// Besides following the classic encoder, insertion has one shortcut that leaves the same trees
// and the same match: each tree holds each string once, so when the string being inserted is
// already in the tree, the walk from the root can only end at that node, which the new position
// then replaces in place. In repeated text the node that follows the last full match usually
// holds the next string (the repeat goes on), so it is tried first and the walk is skipped.
struct Kt_LzssEncoder::State {
  // The ring, followed by a copy of its first kMaxMatch - 1 bytes so that string comparisons need
  // no wrap-around. That copy starts as zeros, not spaces, and is only filled as input arrives.
  unsigned char ring[kRingSize + kMaxMatch - 1];
  Node nodes[kNodeCount];
  int match_position = 0;
  int match_length = 0;
  // After an insertion that matched all kMaxMatch bytes at node p, the position after it and
  // p's successor, the first node to try for the string there; -1 otherwise.
  int chain_insert = -1;
  int chain_candidate = 0;

  void InitTrees() noexcept;
  void InsertNode(int r) noexcept;
  void WalkAndInsert(int r) noexcept;
  void DeleteNode(int p) noexcept;
  void Replace(int p, int r) noexcept;
  void FullMatchAt(int p, int r) noexcept;
  void Encode(const unsigned char* data, std::size_t size, std::vector<unsigned char>& out);
};

Kt_LzssEncoder::Kt_LzssEncoder() : state_(std::make_unique<State>()) {}

Kt_LzssEncoder::~Kt_LzssEncoder() = default;

void Kt_LzssEncoder::Encode(const unsigned char* data, std::size_t size,
                            std::vector<unsigned char>& out) {
  state_->Encode(data, size, out);
}

void Kt_LzssEncoder::State::InitTrees() noexcept {
  for (int i = kRootBase; i < kNodeCount; ++i) nodes[i].child[kRight] = kNil;
  for (int i = 0; i < kRingSize; ++i) nodes[i].dad = kNil;
  chain_insert = -1;
}

// Position r takes the place of node p in its tree; p leaves the tree.
inline void Kt_LzssEncoder::State::Replace(int p, int r) noexcept {
  Node& old = nodes[p];
  Node& taker = nodes[r];
  taker = old;
  nodes[old.child[kLeft]].dad = static_cast<std::uint16_t>(r);
  nodes[old.child[kRight]].dad = static_cast<std::uint16_t>(r);
  Node& parent = nodes[old.dad];
  parent.child[parent.child[kRight] == p ? kRight : kLeft] = static_cast<std::uint16_t>(r);
  old.dad = kNil;
}

inline void Kt_LzssEncoder::State::FullMatchAt(int p, int r) noexcept {
  match_position = p;
  match_length = kMaxMatch;
  Replace(p, r);
  chain_insert = (r + 1) & kRingMask;
  chain_candidate = (p + 1) & kRingMask;
}

// Inserts the string at ring position r into its tree and leaves the longest match met on the
// way in match_position/match_length. A string equal over the whole look-ahead replaces the
// older node, so each tree holds each string once and the newest position is referenced.
inline void Kt_LzssEncoder::State::InsertNode(int r) noexcept {
  if (r == chain_insert && nodes[chain_candidate].dad != kNil &&
      SameString(&ring[r], &ring[chain_candidate])) {
    FullMatchAt(chain_candidate, r);
  } else {
    WalkAndInsert(r);
  }
}

// The classic insertion: a walk down from the root of the tree of the string's first byte.
#if defined(__GNUC__) || defined(__clang__)
__attribute__((noinline))  // keeps the shortcut above small enough to be inlined in the loop
#endif
void Kt_LzssEncoder::State::WalkAndInsert(int r) noexcept {
  chain_insert = -1;
  const unsigned char* key = &ring[r];
  const InsertKey inserted(key);
  int p = kRootBase + key[0];
  // The best match stays in locals during the walk: stores to members might alias the links and
  // make the compiler read them again at every step.
  int bestPosition = match_position;
  int bestLength = 0;
  nodes[r].child[kRight] = nodes[r].child[kLeft] = kNil;
  int cmp = 1;
  for (;;) {
    // The direction is a branch, not an index: the processor then follows the predicted link
    // while the comparison that decides it is still under way.
    std::uint16_t* link;
    if (cmp >= 0) {
      link = &nodes[p].child[kRight];
    } else {
      link = &nodes[p].child[kLeft];
    }
    if (*link == kNil) {
      *link = static_cast<std::uint16_t>(r);
      nodes[r].dad = static_cast<std::uint16_t>(p);
      match_position = bestPosition;
      match_length = bestLength;
      return;  // r became a leaf
    }
    p = *link;
    const int i = inserted.Compare(&ring[p], cmp);
    if (i >= kMaxMatch) break;
    // Strictly longer: the first of equal matches stays. Written as selections, since whether a
    // node beats the best so far is hard to predict and the walk does not depend on it.
    const bool longer = i > bestLength;
    bestPosition = longer ? p : bestPosition;
    bestLength = longer ? i : bestLength;
  }
  FullMatchAt(p, r);
}

inline void Kt_LzssEncoder::State::DeleteNode(int p) noexcept {
  Node& gone = nodes[p];
  if (gone.dad == kNil) return;
  int q;
  if (gone.child[kRight] == kNil) {
    q = gone.child[kLeft];
  } else if (gone.child[kLeft] == kNil) {
    q = gone.child[kRight];
  } else {
    // The largest node of the left subtree takes p's place.
    q = gone.child[kLeft];
    if (nodes[q].child[kRight] != kNil) {
      do {
        q = nodes[q].child[kRight];
      } while (nodes[q].child[kRight] != kNil);
      nodes[nodes[q].dad].child[kRight] = nodes[q].child[kLeft];
      nodes[nodes[q].child[kLeft]].dad = nodes[q].dad;
      nodes[q].child[kLeft] = gone.child[kLeft];
      nodes[gone.child[kLeft]].dad = static_cast<std::uint16_t>(q);
    }
    nodes[q].child[kRight] = gone.child[kRight];
    nodes[gone.child[kRight]].dad = static_cast<std::uint16_t>(q);
  }
  nodes[q].dad = gone.dad;
  Node& parent = nodes[gone.dad];
  parent.child[parent.child[kRight] == p ? kRight : kLeft] = static_cast<std::uint16_t>(q);
  gone.dad = kNil;
}

void Kt_LzssEncoder::State::Encode(const unsigned char* data, std::size_t size,
                                   std::vector<unsigned char>& out) {
  if (size == 0) return;
  out.reserve(out.size() + MaxEncodedSize(size));
  InitTrees();
  std::memset(ring, kFillByte, kStartPosition);
  std::memset(ring + kStartPosition, 0, sizeof ring - kStartPosition);

  std::size_t next = 0;  // next input byte to enter the ring
  int s = 0;             // ring position the next input byte overwrites
  int r = kStartPosition;
  int len = 0;  // bytes of look-ahead still to be coded
  for (; len < kMaxMatch && next < size; ++len) ring[r + len] = data[next++];
  for (int i = 1; i <= kMaxMatch; ++i) InsertNode(r - i);
  InsertNode(r);

  unsigned char group[1 + kItemsPerGroup * 2];
  int group_size = 1;
  unsigned char mask = 1;
  group[0] = 0;
  do {
    int coded = match_length > len ? len : match_length;
    if (coded < kMinMatch) {
      coded = 1;
      group[0] |= mask;
      group[group_size++] = ring[r];
    } else {
      group[group_size++] = static_cast<unsigned char>(match_position);
      group[group_size++] =
          static_cast<unsigned char>(((match_position >> 4) & 0xF0) | (coded - kMinMatch));
    }
    mask = static_cast<unsigned char>(mask << 1);
    if (mask == 0) {
      out.insert(out.end(), group, group + group_size);
      group[0] = 0;
      group_size = 1;
      mask = 1;
    }

    int i = 0;
    for (; i < coded && next < size; ++i) {
      DeleteNode(s);
      const unsigned char c = data[next++];
      ring[s] = c;
      if (s < kMaxMatch - 1) ring[s + kRingSize] = c;
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
