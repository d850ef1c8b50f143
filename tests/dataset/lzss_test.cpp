// The LZSS stream on its own: known encoder output, hand-made streams, clean stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/binary/lzss_decoder.h"
#include "dataset/binary/lzss_encoder.h"
#include "tests/dataset/hex_bytes.h"

namespace {

using kt_test::Bytes;
using kt_test::Hex;
using kt_test::Text;

Bytes Encode(const Bytes& input) {
  Bytes out;
  Kt_LzssEncoder().Encode(input.data(), input.size(), out);
  return out;
}

Bytes Decode(const Bytes& stream) {
  Bytes out;
  EXPECT_TRUE(Kt_LzssDecoder::Decode(stream.data(), stream.size(), out));
  EXPECT_EQ(out.size(), Kt_LzssDecoder::DecodedSize(stream.data(), stream.size()));
  return out;
}

struct KnownStream {
  const char* name;
  std::string text;
  const char* stream;
};

// Worked out by hand from the algorithm (ring of spaces, writing from 4078, positions 4077 down
// to 4060 inserted before 4078, flags from the least significant bit, absolute positions):
//  - 100 spaces: 4060 is the last fill string inserted, so the first look-ahead matches it over
//    all 18 bytes (DC FF); then each full match points one before the look-ahead (4095 = FF FF,
//    17, 35, 53) and the last is cut to the 10 bytes left (47 07). All six flags clear.
//  - abc x6: three literals (flags 07), then "abc..." matches 4078 over the 15 bytes left (EE FC).
//  - abcPabcQabcR...: at "abcR" the walk meets 4078 ("abcP") first and then 4082 ("abcQ"), both
//    3 long; the first stays (EE F0, not F2 F0). Flags L L L L R L R L = AF, then six literals.
//  - 18 distinct letters: all literals, full groups FF FF, the last group's flags 03.
//  - "a" and 17 spaces: the fill strings 4077..4060 form a chain of left children. After the
//    literal, the 17 spaces at 4079 run one byte past the input into the ring's zero-filled
//    copy: 4061 matches 17 bytes (zero < 'a'), and 4060 also only 17 (zero < space), so 4061
//    stays (DD FE). Were that copy spaces, 4060 would match fully and win (DC FE).
const KnownStream kKnownStreams[] = {
    {"Spaces100", std::string(100, ' '), "00 DC FF FF FF 11 0F 23 0F 35 0F 47 07"},
    {"RepeatCutToRest", "abcabcabcabcabcabc", "07 61 62 63 EE FC"},
    {"TieKeepsFirstMet", "abcPabcQabcRSTUVWX",
     "AF 61 62 63 50 EE F0 51 EE F0 52 3F 53 54 55 56 57 58"},
    {"AllLiterals", "ABCDEFGHIJKLMNOPQR",
     "FF 41 42 43 44 45 46 47 48 FF 49 4A 4B 4C 4D 4E 4F 50 03 51 52"},
    {"TailComparesZeroFilledCopy", "a" + std::string(17, ' '), "01 61 DD FE"},
};

class LzssKnownStream : public ::testing::TestWithParam<KnownStream> {};

TEST_P(LzssKnownStream, EncoderProducesIt) {
  EXPECT_EQ(Encode(Text(GetParam().text)), Hex(GetParam().stream));
}

TEST_P(LzssKnownStream, DecoderReadsIt) {
  EXPECT_EQ(Decode(Hex(GetParam().stream)), Text(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(HandDerived, LzssKnownStream, ::testing::ValuesIn(kKnownStreams),
                         [](const auto& info) { return std::string(info.param.name); });

struct HandMadeStream {
  const char* name;
  const char* stream;
  std::string text;
};

// Streams no encoder needs to have written, and streams that end early.
const HandMadeStream kHandMadeStreams[] = {
    {"Empty", "", ""},
    {"OneLiteral", "01 41", "A"},
    {"OverlapRepeatsJustWritten", "03 48 69 EE F1", "HiHiHi"},
    {"OverlapReachesIntoSpaces", "01 78 ED F1", "x x x"},
    {"CurrentPositionIsAWholeRingBack", "00 EE F0", "   "},
    {"UnwrittenRingIsSpaces", "00 00 02", "     "},
    {"ZeroBytesAreData", "07 00 00 00 EE F0", std::string(6, '\0')},
    {"StopsAtMissingLiteral", "03 48", "H"},
    {"StopsAtHalfReference", "01 41 EE", "A"},
    {"StopsAtFlagsWithoutItems", "FF 41 42 43 44 45 46 47 48 00", "ABCDEFGH"},
    {"StopsAfterFlagsOnly", "FF", ""},
};

class LzssHandMadeStream : public ::testing::TestWithParam<HandMadeStream> {};

TEST_P(LzssHandMadeStream, DecodesToKnownText) {
  EXPECT_EQ(Decode(Hex(GetParam().stream)), Text(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Decoder, LzssHandMadeStream, ::testing::ValuesIn(kHandMadeStreams),
                         [](const auto& info) { return std::string(info.param.name); });

// Literals past a whole ring, then references a whole ring back and one byte back, in groups
// that the decoder takes whole and, at the end, item by item.
TEST(LzssDecoder, ReferencesAcrossTheRingEdge) {
  Bytes stream;
  Bytes expected;
  std::size_t flags_at = 0;
  int items = 0;
  auto next_item = [&](bool literal) {
    if (items++ % 8 == 0) {
      flags_at = stream.size();
      stream.push_back(0);
    }
    if (literal) stream[flags_at] |= static_cast<unsigned char>(1u << ((items - 1) % 8));
  };
  for (int i = 0; i < 4100; ++i) {
    next_item(true);
    expected.push_back(static_cast<unsigned char>(i * 7 % 251));
    stream.push_back(expected.back());
  }
  for (int ref = 0; ref < 30; ++ref) {
    next_item(false);
    const std::size_t written = expected.size();
    const int current = static_cast<int>((4078 + written) % 4096);
    const bool whole_ring_back = ref % 2 == 0;
    const int position = whole_ring_back ? current : (current + 4095) % 4096;
    stream.push_back(static_cast<unsigned char>(position & 0xFF));
    stream.push_back(static_cast<unsigned char>(((position >> 4) & 0xF0) | 15));
    for (std::size_t k = 0; k < 18; ++k) {
      expected.push_back(whole_ring_back ? expected[written - 4096 + k] : expected[written - 1]);
    }
  }
  EXPECT_EQ(Decode(stream), expected);
}

// The stream can describe at most 144 bytes per 17, and the decoder sizes its output from it.
TEST(LzssDecoder, LargestExpansionIsSizedExactly) {
  Bytes stream;
  for (int group = 0; group < 100; ++group) {
    stream.push_back(0x00);
    for (int item = 0; item < 8; ++item) stream.insert(stream.end(), {0x00, 0x0F});
  }
  EXPECT_EQ(Kt_LzssDecoder::DecodedSize(stream.data(), stream.size()), 100u * 144u);
  EXPECT_EQ(Decode(stream), Bytes(100 * 144, ' '));
}

TEST(LzssEncoder, EmptyInputGivesNoStreamAndAppends) {
  Bytes out{0xAB};
  Kt_LzssEncoder encoder;
  encoder.Encode(nullptr, 0, out);
  EXPECT_EQ(out, Bytes{0xAB});
  const Bytes a = Text("ABCDEFGHIJKLMNOPQR");
  encoder.Encode(a.data(), a.size(), out);  // one encoder object serves several inputs
  encoder.Encode(a.data(), a.size(), out);
  Bytes expected{0xAB};
  for (int i = 0; i < 2; ++i) {
    const Bytes stream = Hex(kKnownStreams[3].stream);
    expected.insert(expected.end(), stream.begin(), stream.end());
  }
  EXPECT_EQ(out, expected);
}

}  // namespace
