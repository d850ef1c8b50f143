// The LZSS encoder against the classic binary-tree encoder it must equal byte for byte, over many
// generated inputs: sizes around the look-ahead and the ring, and texts from noise to long runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "dataset/binary/lzss_decoder.h"
#include "dataset/binary/lzss_encoder.h"
#include "dataset/binary/lzss_format.h"
#include "tests/dataset/hex_bytes.h"
#include "tests/dataset/replayable_random.h"

namespace {

using kt_test::Bytes;
using namespace kt_lzss;

// The classic encoder in its plain form, step for step and byte by byte: the yardstick whose
// output the library's encoder must reproduce, however it gets there.
class ClassicLzssEncoder {
 public:
  Bytes Encode(const Bytes& data) {
    Bytes out;
    if (data.empty()) return out;
    for (int i = kRingSize + 1; i <= kRingSize + 256; ++i) rson_[i] = kNil;
    for (int i = 0; i < kRingSize; ++i) dad_[i] = kNil;
    std::memset(ring_, kFillByte, kStartPosition);
    std::memset(ring_ + kStartPosition, 0, sizeof ring_ - kStartPosition);
    std::size_t next = 0;
    int s = 0;
    int r = kStartPosition;
    int len = 0;
    for (; len < kMaxMatch && next < data.size(); ++len) ring_[r + len] = data[next++];
    for (int i = 1; i <= kMaxMatch; ++i) InsertNode(r - i);
    InsertNode(r);
    Bytes group{0};
    unsigned char mask = 1;
    do {
      if (match_length_ > len) match_length_ = len;
      if (match_length_ < kMinMatch) {
        match_length_ = 1;
        group[0] |= mask;
        group.push_back(ring_[r]);
      } else {
        group.push_back(static_cast<unsigned char>(match_position_));
        group.push_back(static_cast<unsigned char>(((match_position_ >> 4) & 0xF0) |
                                                   (match_length_ - kMinMatch)));
      }
      mask = static_cast<unsigned char>(mask << 1);
      if (mask == 0) {
        out.insert(out.end(), group.begin(), group.end());
        group.assign(1, 0);
        mask = 1;
      }
      const int coded = match_length_;
      for (int i = 0; i < coded; ++i) {
        DeleteNode(s);
        const bool input_left = next < data.size();
        if (input_left) {
          ring_[s] = data[next++];
          if (s < kMaxMatch - 1) ring_[s + kRingSize] = ring_[s];
        }
        s = (s + 1) & kRingMask;
        r = (r + 1) & kRingMask;
        // Past the end of the input the look-ahead shrinks and the ring keeps its old bytes.
        if (input_left || --len != 0) InsertNode(r);
      }
    } while (len > 0);
    if (group.size() > 1) out.insert(out.end(), group.begin(), group.end());
    return out;
  }

 private:
  static constexpr int kNil = kRingSize;

  void InsertNode(int r) {
    int cmp = 1;
    const unsigned char* key = &ring_[r];
    int p = kRingSize + 1 + key[0];
    rson_[r] = lson_[r] = kNil;
    match_length_ = 0;
    for (;;) {
      if (cmp >= 0) {
        if (rson_[p] == kNil) {
          rson_[p] = r;
          dad_[r] = p;
          return;
        }
        p = rson_[p];
      } else {
        if (lson_[p] == kNil) {
          lson_[p] = r;
          dad_[r] = p;
          return;
        }
        p = lson_[p];
      }
      int i = 1;
      for (; i < kMaxMatch; ++i) {
        if ((cmp = key[i] - ring_[p + i]) != 0) break;
      }
      if (i > match_length_) {
        match_position_ = p;
        if ((match_length_ = i) >= kMaxMatch) break;
      }
    }
    dad_[r] = dad_[p];
    lson_[r] = lson_[p];
    rson_[r] = rson_[p];
    dad_[lson_[p]] = r;
    dad_[rson_[p]] = r;
    if (rson_[dad_[p]] == p) {
      rson_[dad_[p]] = r;
    } else {
      lson_[dad_[p]] = r;
    }
    dad_[p] = kNil;
  }

  void DeleteNode(int p) {
    if (dad_[p] == kNil) return;
    int q;
    if (rson_[p] == kNil) {
      q = lson_[p];
    } else if (lson_[p] == kNil) {
      q = rson_[p];
    } else {
      q = lson_[p];
      if (rson_[q] != kNil) {
        do {
          q = rson_[q];
        } while (rson_[q] != kNil);
        rson_[dad_[q]] = lson_[q];
        dad_[lson_[q]] = dad_[q];
        lson_[q] = lson_[p];
        dad_[lson_[p]] = q;
      }
      rson_[q] = rson_[p];
      dad_[rson_[p]] = q;
    }
    dad_[q] = dad_[p];
    if (rson_[dad_[p]] == p) {
      rson_[dad_[p]] = q;
    } else {
      lson_[dad_[p]] = q;
    }
    dad_[p] = kNil;
  }

  unsigned char ring_[kRingSize + kMaxMatch - 1];
  int lson_[kRingSize + 1];
  int rson_[kRingSize + 257];
  int dad_[kRingSize + 1];
  int match_position_ = 0;
  int match_length_ = 0;
};

// Kinds of text, each from a seed: they differ in how often and how long strings repeat, which
// decides the shape of the trees and which paths of the encoder run.
enum class Kind {
  kNoise,          // any byte: few matches, deep walks of short matches
  kFewLetters,     // two to four letters: matches everywhere, many equally long
  kSpacesAndZeros,  // the ring's fill byte and the zero bytes of its tail copy, in runs
  kLongRuns,       // one byte repeated for hundreds of bytes, now and then another
  kEditedPhrases,  // phrases repeated with small edits, like the rows of a list
};

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kNoise: return "Noise";
    case Kind::kFewLetters: return "FewLetters";
    case Kind::kSpacesAndZeros: return "SpacesAndZeros";
    case Kind::kLongRuns: return "LongRuns";
    case Kind::kEditedPhrases: return "EditedPhrases";
  }
  return "";
}

unsigned char Byte(std::uint32_t value) { return static_cast<unsigned char>(value); }

Bytes MakeText(Kind kind, std::size_t size, std::uint32_t seed) {
  ReplayableRandom random(seed);
  Bytes text;
  text.reserve(size);
  switch (kind) {
    case Kind::kNoise:
      while (text.size() < size) text.push_back(Byte(random.Below(256)));
      break;
    case Kind::kFewLetters: {
      const std::uint32_t letters = 2 + random.Below(3);
      while (text.size() < size) text.push_back(Byte('a' + random.Below(letters)));
      break;
    }
    case Kind::kSpacesAndZeros:
      while (text.size() < size) {
        const unsigned char byte = random.Below(3) == 0 ? 0 : (random.Below(8) == 0 ? 'x' : ' ');
        text.insert(text.end(), 1 + random.Below(40), byte);
      }
      break;
    case Kind::kLongRuns:
      while (text.size() < size) {
        text.insert(text.end(), 1 + random.Below(600), Byte('A' + random.Below(3)));
      }
      break;
    case Kind::kEditedPhrases: {
      std::vector<Bytes> phrases;
      for (int i = 0; i < 12; ++i) {
        Bytes phrase(4 + random.Below(40));
        for (auto& byte : phrase) byte = Byte("<>/\t\r\n =\"abcdefgh"[random.Below(18)]);
        phrases.push_back(phrase);
      }
      while (text.size() < size) {
        Bytes phrase = phrases[random.Below(12)];
        if (random.Below(4) == 0) {
          phrase[random.Below(static_cast<std::uint32_t>(phrase.size()))] =
              Byte('0' + random.Below(10));
        }
        text.insert(text.end(), phrase.begin(), phrase.end());
      }
      break;
    }
  }
  text.resize(size);
  return text;
}

struct Sample {
  Kind kind;
  std::size_t size;
  std::uint32_t seed;
};

void PrintTo(const Sample& sample, std::ostream* out) {
  *out << KindName(sample.kind) << " text of " << sample.size << " bytes, seed " << sample.seed;
}

// Sizes at the edges that matter: the look-ahead (18), the part of the ring before the start
// position (4078), one ring (4096) and the ring plus its tail copy (4113), and twice the ring;
// then longer texts, where the ring has been overwritten many times over.
const std::size_t kEdgeSizes[] = {1,    2,    3,    17,   18,   19,   35,   36,   37,   4077,
                                  4078, 4079, 4095, 4096, 4097, 4112, 4113, 4114, 8191, 8192,
                                  8193, 8209};
const std::size_t kLongSizes[] = {20000, 65536, 200000};

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  std::uint32_t seed = 1;
  for (Kind kind : {Kind::kNoise, Kind::kFewLetters, Kind::kSpacesAndZeros, Kind::kLongRuns,
                    Kind::kEditedPhrases}) {
    for (std::size_t size : kEdgeSizes) samples.push_back({kind, size, seed++});
    for (std::size_t size : kLongSizes) samples.push_back({kind, size, seed++});
  }
  return samples;
}

class LzssAgainstClassic : public ::testing::TestWithParam<Sample> {};

TEST_P(LzssAgainstClassic, SameStreamAndRoundTrip) {
  const Sample& sample = GetParam();
  const Bytes text = MakeText(sample.kind, sample.size, sample.seed);
  Bytes stream;
  Kt_LzssEncoder().Encode(text.data(), text.size(), stream);
  ASSERT_EQ(stream, ClassicLzssEncoder().Encode(text)) << "seed " << sample.seed;
  Bytes decoded;
  ASSERT_TRUE(Kt_LzssDecoder::Decode(stream.data(), stream.size(), decoded));
  EXPECT_EQ(decoded, text);
}

INSTANTIATE_TEST_SUITE_P(Generated, LzssAgainstClassic, ::testing::ValuesIn(Samples()),
                         [](const auto& info) {
                           return std::string(KindName(info.param.kind)) + "_" +
                                  std::to_string(info.param.size);
                         });

// Many short and middling texts of random kind and size through one encoder object, which must
// start afresh for each.
TEST(LzssAgainstClassic, ManyRandomTextsThroughOneEncoder) {
  ReplayableRandom random(2024);
  Kt_LzssEncoder encoder;
  ClassicLzssEncoder classic;
  for (int n = 0; n < 300; ++n) {
    const auto kind = static_cast<Kind>(random.Below(5));
    const std::size_t size = random.Below(2) == 0 ? random.Below(64) : random.Below(12000);
    const std::uint32_t seed = 100000 + static_cast<std::uint32_t>(n);
    const Bytes text = MakeText(kind, size, seed);
    Bytes stream;
    encoder.Encode(text.data(), text.size(), stream);
    ASSERT_EQ(stream, classic.Encode(text))
        << KindName(kind) << " text of " << size << " bytes, seed " << seed;
  }
}

}  // namespace
