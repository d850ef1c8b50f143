// The packed envelope: markers and check values, Pack/Unpack rules, round trips, damaged input.
#include "dataset/binary/packer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "tests/dataset/hex_bytes.h"

namespace {

using kt_test::Bytes;
using kt_test::Hex;
using kt_test::Text;

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

uLong Crc(const Bytes& data) { return crc32(0L, data.data(), static_cast<uInt>(data.size())); }

// An LZSS envelope around a stream, with the check value big-endian (FF AC) or little-endian
// (AC FF).
Bytes LzssEnvelope(const Bytes& stream, bool swapped_marker = false) {
  const uLong crc = Crc(stream);
  Bytes big{static_cast<unsigned char>(crc >> 24), static_cast<unsigned char>(crc >> 16),
            static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc)};
  if (swapped_marker) return Concat(Concat({0xAC, 0xFF}, Bytes(big.rbegin(), big.rend())), stream);
  return Concat(Concat({0xFF, 0xAC}, big), stream);
}

Bytes Random(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (auto& byte : bytes)
    byte = static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16);
  return bytes;
}

Bytes ListDocumentText(std::size_t size) {
  std::string text;
  for (unsigned i = 0; text.size() < size; ++i) {
    text += "<Record Name=\"file" + std::to_string(i * 37 % 1000) + ".dll\" Status=\"" +
            std::to_string(i % 4) + "\" Version=\"3.2." + std::to_string(i % 97) + "\"/>\r\n";
  }
  text.resize(size);
  return Text(text);
}

Bytes Packed(const Bytes& input, int variant, int level = Kt_Packer::kDefaultLevel) {
  Bytes out;
  EXPECT_EQ(Kt_Packer::Pack(input, out, variant, level), Kt_Packer::kOk);
  return out;
}

int UnpackResult(const Bytes& input, Bytes* out = nullptr) {
  Bytes local;
  return Kt_Packer::Unpack(input, out ? *out : local);
}

// The hand-derived tie vector of the LZSS tests, here inside its envelope.
const Bytes kTieText = Text("abcPabcQabcRSTUVWX");
const Bytes kTieStream = Hex("AF 61 62 63 50 EE F0 51 EE F0 52 3F 53 54 55 56 57 58");

// zlib stored block written by hand: header 78 01, final stored block of 5 bytes (LEN 0005,
// NLEN FFFA), "hello", Adler-32 of "hello" = 0x062C0215 (a = 533, b = 1580).
const Bytes kZlibHello = Hex("FF AD 78 01 01 05 00 FA FF 68 65 6C 6C 6F 06 2C 02 15");

struct RoundTripInput {
  const char* name;
  Bytes data;
};

std::vector<RoundTripInput> RoundTripInputs() {
  return {
      {"Empty", {}},
      {"OneByte", {0x00}},
      {"Bytes17", Random(17, 1)},
      {"Bytes18", Random(18, 2)},
      {"Bytes19", Random(19, 3)},
      {"AllZero", Bytes(70000, 0)},
      {"Random", Random(70000, 4)},
      {"Repetitive", ListDocumentText(70000)},
      {"Spaces", Bytes(5000, ' ')},
      {"LookLikeMarkers", Concat(Hex("FF AC 00 00 00 00 FF AD AC FF"), Random(40, 5))},
      {"OneMegabyte", Concat(ListDocumentText(700000), Random(348576, 6))},
  };
}

struct RoundTripCase {
  RoundTripInput input;
  int variant;
  int level;
};

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;
  for (const auto& input : RoundTripInputs()) {
    cases.push_back({input, Kt_Packer::kLzss, Kt_Packer::kDefaultLevel});
    for (int level : {-1, 0, 1, 9}) cases.push_back({input, Kt_Packer::kZlib, level});
  }
  return cases;
}

class PackerRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PackerRoundTrip, UnpackGivesTheInputBack) {
  const RoundTripCase& c = GetParam();
  const Bytes packed = Packed(c.input.data, c.variant, c.level);
  int variant = 0;
  const bool lzss_too_short =
      c.variant == Kt_Packer::kLzss && c.input.data.size() < Kt_Packer::kLzssMinPackedInput;
  if (lzss_too_short) {
    EXPECT_EQ(packed, c.input.data);
  } else {
    EXPECT_TRUE(Kt_Packer::IsPacked(packed, &variant));
    EXPECT_EQ(variant, c.variant);
  }
  Bytes unpacked{1, 2, 3};
  EXPECT_EQ(Kt_Packer::Unpack(packed, unpacked), Kt_Packer::kOk);
  EXPECT_EQ(unpacked, c.input.data);
}

INSTANTIATE_TEST_SUITE_P(Variants, PackerRoundTrip, ::testing::ValuesIn(RoundTripCases()),
                         [](const auto& info) {
                           const RoundTripCase& c = info.param;
                           if (c.variant == Kt_Packer::kLzss)
                             return std::string(c.input.name) + "_Lzss";
                           return std::string(c.input.name) + "_ZlibLevel" +
                                  (c.level < 0 ? std::string("Default") : std::to_string(c.level));
                         });

TEST(Packer, LzssEnvelopeHoldsTheKnownStream) {
  EXPECT_EQ(Packed(kTieText, Kt_Packer::kLzss), LzssEnvelope(kTieStream));
}

TEST(Packer, ZlibEnvelopeOfEmptyInput) {
  EXPECT_EQ(Packed({}, Kt_Packer::kZlib), Hex("FF AD 78 9C 03 00 00 00 00 01"));
}

TEST(Packer, InputThatIsPackedAlreadyIsCopied) {
  for (const Bytes& packed :
       {LzssEnvelope(kTieStream), LzssEnvelope(kTieStream, true), kZlibHello}) {
    for (int variant : {Kt_Packer::kLzss, Kt_Packer::kZlib, 7}) {
      Bytes out;
      EXPECT_EQ(Kt_Packer::Pack(packed, out, variant), Kt_Packer::kOk);
      EXPECT_EQ(out, packed);
    }
  }
}

TEST(Packer, RejectsUnknownVariantsAndLevels) {
  const Bytes input = ListDocumentText(100);
  struct {
    int variant;
    int level;
  } const bad[] = {{0, -1}, {3, -1}, {-1, -1}, {Kt_Packer::kZlib, 10}, {Kt_Packer::kZlib, -2}};
  for (const auto& b : bad) {
    Bytes out;
    EXPECT_EQ(Kt_Packer::Pack(input, out, b.variant, b.level), Kt_Packer::kFailed)
        << b.variant << " " << b.level;
  }
  Bytes out;
  EXPECT_EQ(Kt_Packer::Pack(input, out, Kt_Packer::kLzss, 42), Kt_Packer::kOk);  // level unused
}

TEST(Packer, NullDataWithALengthFails) {
  Bytes out{1};
  EXPECT_EQ(Kt_Packer::Pack(nullptr, 5, out, Kt_Packer::kLzss), Kt_Packer::kFailed);
  EXPECT_EQ(Kt_Packer::Unpack(nullptr, 5, out), Kt_Packer::kFailed);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(Kt_Packer::Unpack(nullptr, 0, out), Kt_Packer::kOk);
  EXPECT_FALSE(Kt_Packer::IsPacked(nullptr, 6));
}

TEST(Packer, InputMayLieInTheOutput) {
  Bytes buffer = ListDocumentText(3000);
  const Bytes original = buffer;
  ASSERT_EQ(Kt_Packer::Pack(buffer.data(), buffer.size(), buffer, Kt_Packer::kLzss),
            Kt_Packer::kOk);
  ASSERT_EQ(Kt_Packer::Unpack(buffer.data(), buffer.size(), buffer), Kt_Packer::kOk);
  EXPECT_EQ(buffer, original);
  ASSERT_EQ(Kt_Packer::Pack(buffer.data() + 10, 500, buffer, Kt_Packer::kZlib), Kt_Packer::kOk);
  ASSERT_EQ(Kt_Packer::Unpack(buffer.data(), buffer.size(), buffer), Kt_Packer::kOk);
  EXPECT_EQ(buffer, Bytes(original.begin() + 10, original.begin() + 510));
}

struct EnvelopeCase {
  const char* name;
  Bytes data;
  bool packed;
  int variant;
  int unpack_result;
  Bytes unpacked;  // when unpacking succeeds
};

std::vector<EnvelopeCase> EnvelopeCases() {
  const Bytes lzss = LzssEnvelope(kTieStream);
  Bytes wrong_check = lzss;
  wrong_check[5] ^= 0x01;
  Bytes flipped_data = lzss;
  flipped_data[10] ^= 0x40;
  const Bytes swapped_big_endian = Concat(Hex("AC FF"), Bytes(lzss.begin() + 2, lzss.end()));
  const Bytes lone_half_reference = Concat(Hex("01 41"), Hex("EE"));
  const int ok = Kt_Packer::kOk;
  const int failed = Kt_Packer::kFailed;
  return {
      {"PlainXml", Text("<?xml version=\"1.0\"?><List/>"), false, 0, ok,
       Text("<?xml version=\"1.0\"?><List/>")},
      {"Empty", {}, false, 0, ok, {}},
      {"OneMarkerByte", {0xFF}, false, 0, ok, {0xFF}},
      {"BinaryDocumentMagic", Hex("FF 21 0C 1C 00"), false, 0, ok, Hex("FF 21 0C 1C 00")},
      {"Lzss", lzss, true, 1, ok, kTieText},
      {"LzssSwappedMarker", LzssEnvelope(kTieStream, true), true, 1, ok, kTieText},
      {"LzssEmptyStream", LzssEnvelope({}), true, 1, ok, {}},
      {"LzssHandMade", LzssEnvelope(Hex("03 48 69 EE F1")), true, 1, ok, Text("HiHiHi")},
      {"LzssEndsInsideAnItem", LzssEnvelope(lone_half_reference), true, 1, ok, Text("A")},
      {"LzssWrongCheck", wrong_check, false, 0, failed, {}},
      {"LzssFlippedData", flipped_data, false, 0, failed, {}},
      {"SwappedMarkerBigEndianCheck", swapped_big_endian, false, 0, failed, {}},
      {"LzssMarkerOnly", Hex("FF AC"), false, 0, failed, {}},
      {"LzssCheckCutShort", Hex("FF AC 00 00 00"), false, 0, failed, {}},
      {"ZlibHandMade", kZlibHello, true, 2, ok, Text("hello")},
      {"ZlibBytesAfterTheEnd", Concat(kZlibHello, Text("trailer")), true, 2, ok, Text("hello")},
  };
}

class PackerEnvelope : public ::testing::TestWithParam<EnvelopeCase> {};

TEST_P(PackerEnvelope, IsRecognisedAndUnpacked) {
  const EnvelopeCase& c = GetParam();
  int variant = -5;
  EXPECT_EQ(Kt_Packer::IsPacked(c.data, &variant), c.packed);
  EXPECT_EQ(variant, c.variant);
  Bytes out{9, 9};
  EXPECT_EQ(Kt_Packer::Unpack(c.data, out), c.unpack_result);
  // A damaged LZSS envelope passes through unchanged, but fails.
  EXPECT_EQ(out, c.unpack_result == Kt_Packer::kOk ? c.unpacked : c.data);
}

INSTANTIATE_TEST_SUITE_P(Envelopes, PackerEnvelope, ::testing::ValuesIn(EnvelopeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct BrokenZlib {
  const char* name;
  const char* data;
};

// Changes to the hand-made "hello" envelope; each is a zlib envelope that fails to unpack.
const BrokenZlib kBrokenZlib[] = {
    {"MarkerOnly", "FF AD"},
    {"HeaderCheck", "FF AD 78 02 01 05 00 FA FF 68 65 6C 6C 6F 06 2C 02 15"},
    {"WrongAdler", "FF AD 78 01 01 05 00 FA FF 68 65 6C 6C 6F 06 2C 02 16"},
    {"StoredLengthsDisagree", "FF AD 78 01 01 05 00 FB FF 68 65 6C 6C 6F 06 2C 02 15"},
    {"StoredLengthBeyondData", "FF AD 78 01 01 10 00 EF FF 68 65 6C 6C 6F 06 2C 02 15"},
    {"PresetDictionary", "FF AD 78 BB 00 00 00 01 03 00 00 00 00 01"},
};

class PackerBrokenZlib : public ::testing::TestWithParam<BrokenZlib> {};

TEST_P(PackerBrokenZlib, IsPackedButFailsToUnpack) {
  const Bytes data = Hex(GetParam().data);
  int variant = 0;
  EXPECT_TRUE(Kt_Packer::IsPacked(data, &variant));
  EXPECT_EQ(variant, Kt_Packer::kZlib);
  EXPECT_EQ(UnpackResult(data), Kt_Packer::kFailed);
}

INSTANTIATE_TEST_SUITE_P(Envelopes, PackerBrokenZlib, ::testing::ValuesIn(kBrokenZlib),
                         [](const auto& info) { return std::string(info.param.name); });

// Every cut of a packed document is a failure: for LZSS the check value no longer matches, for
// zlib the stream (or its Adler-32) is incomplete. Cuts inside the marker are plain data.
TEST(PackerDamage, EveryTruncationFails) {
  const Bytes text = ListDocumentText(2000);
  for (int variant : {Kt_Packer::kLzss, Kt_Packer::kZlib}) {
    const Bytes packed = Packed(text, variant);
    for (std::size_t cut = 2; cut < packed.size(); ++cut) {
      const Bytes truncated(packed.begin(), packed.begin() + cut);
      EXPECT_EQ(UnpackResult(truncated), Kt_Packer::kFailed) << variant << " cut at " << cut;
    }
  }
}

TEST(PackerDamage, EveryFlippedBitFailsOrIsCaught) {
  const Bytes text = ListDocumentText(600);
  for (int variant : {Kt_Packer::kLzss, Kt_Packer::kZlib}) {
    const Bytes packed = Packed(text, variant);
    for (std::size_t at = 2; at < packed.size(); ++at) {
      for (int bit = 0; bit < 8; ++bit) {
        Bytes damaged = packed;
        damaged[at] ^= static_cast<unsigned char>(1u << bit);
        Bytes out;
        const int result = UnpackResult(damaged, &out);
        // zlib may pass a flip in an unused header bit; it never yields other text as success.
        if (result == Kt_Packer::kOk) {
          EXPECT_EQ(variant, Kt_Packer::kZlib) << at << ":" << bit;
          EXPECT_EQ(out, text) << at << ":" << bit;
        }
      }
    }
  }
}

}  // namespace
