#include "dataset/lzss_encoder.h"

#include <cstring>

#include "dataset/lzss_format.h"

using namespace kt_lzss;

namespace {

// Tree links hold ring positions; kNil (one past the ring) marks a missing link. The right links
// have 256 extra slots after kNil: rson[kNil + 1 + c] is the root of the tree of strings that
// begin with byte c.
constexpr int kNil = kRingSize;
constexpr int kRootBase = kNil + 1;

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
  int p = kRootBase + key[0];
  int cmp = 1;
  st.rson[r] = st.lson[r] = kNil;
  match_length_ = 0;
  for (;;) {
    if (cmp >= 0) {
      if (st.rson[p] == kNil) {
        st.rson[p] = r;
        st.dad[r] = p;
        return;
      }
      p = st.rson[p];
    } else {
      if (st.lson[p] == kNil) {
        st.lson[p] = r;
        st.dad[r] = p;
        return;
      }
      p = st.lson[p];
    }
    int i = 1;
    for (; i < kMaxMatch; ++i) {
      cmp = key[i] - st.ring[p + i];
      if (cmp != 0) break;
    }
    if (i > match_length_) {  // strictly longer: the first of equal matches stays
      match_position_ = p;
      match_length_ = i;
      if (i >= kMaxMatch) break;
    }
  }
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
