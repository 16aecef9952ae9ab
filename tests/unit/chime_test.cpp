#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/wav.h"
#include "resources/artwork.h"

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::string tag(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                     b.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

}  // namespace

TEST(chime, imageHasTheStoredLayout) {
  const std::vector<std::uint8_t> wav = chimeImage();
  ASSERT_EQ(wav.size(), 80856u);
  struct Field {
    std::size_t at;
    int bytes;  // 2 or 4; 0 for a tag
    std::uint32_t value;
    const char* text;
  } fields[] = {
      {0, 0, 0, "RIFF"},       {4, 4, 80848, nullptr},  {8, 0, 0, "WAVE"},
      {12, 0, 0, "fmt "},      {16, 4, 16, nullptr},    {20, 2, 1, nullptr},
      {22, 2, 2, nullptr},     {24, 4, 22050, nullptr}, {28, 4, 88200, nullptr},
      {32, 2, 4, nullptr},     {34, 2, 16, nullptr},    {36, 0, 0, "data"},
      {40, 4, 80764, nullptr}, {80808, 0, 0, "LIST"},   {80812, 4, 40, nullptr},
      {80816, 0, 0, "INFO"},
  };
  for (const Field& f : fields) {
    if (f.bytes == 0) {
      EXPECT_EQ(tag(wav, f.at), f.text) << f.at;
    } else {
      EXPECT_EQ(f.bytes == 4 ? le32(wav, f.at) : le16(wav, f.at), f.value) << f.at;
    }
  }
  // One text entry fills the 40 bytes of the LIST chunk.
  const std::uint32_t textBytes = le32(wav, 80824);
  EXPECT_EQ(8 + textBytes + (textBytes & 1), 36u);
  EXPECT_EQ(wav[80828 + textBytes - 1], 0);
}

TEST(chime, samplesRingAndEndInSilence) {
  const std::vector<std::uint8_t> wav = chimeImage();
  WavSamples found;
  ASSERT_TRUE(findWavSamples(wav, found));
  ASSERT_EQ(found.samples.size(), 80764u);
  EXPECT_EQ(found.samples.data(), wav.data() + 44);
  std::vector<std::int16_t> samples(found.samples.size() / 2);
  std::memcpy(samples.data(), found.samples.data(), found.samples.size());
  double sum = 0;
  int peak = 0;
  for (std::int16_t s : samples) {
    sum += double(s) * s;
    peak = std::max(peak, std::abs(int{s}));
  }
  const double rms = std::sqrt(sum / double(samples.size()));
  EXPECT_GT(rms, 2000.0);  // audible
  EXPECT_LT(peak, 32767);  // not clipped
  EXPECT_GT(peak, 16000);
  for (std::size_t i = samples.size() - 8; i < samples.size(); ++i) {
    EXPECT_LT(std::abs(int{samples[i]}), 200) << i;  // no click at the end
  }
}

TEST(chime, loaderWalksChunksAndRefusesBrokenImages) {
  const std::vector<std::int16_t> two{1, -1, 2, -2};
  std::vector<std::uint8_t> plain = wavImage(WavFormat{}, two, "INAM", "x");
  WavSamples found;
  ASSERT_TRUE(findWavSamples(plain, found));
  EXPECT_EQ(found.samples.size(), 8u);
  EXPECT_EQ(found.format, (WavFormat{2, 22050, 16}));

  // A chunk between the format record and the samples is passed over, an
  // odd-length one with its pad byte.
  std::vector<std::uint8_t> extra(plain.begin(), plain.begin() + 36);
  for (const char* b : {"junk", "\x03\0\0\0", "abc\0"}) extra.insert(extra.end(), b, b + 4);
  extra.insert(extra.end(), plain.begin() + 36, plain.end());
  ASSERT_TRUE(findWavSamples(extra, found));
  EXPECT_EQ(found.samples.size(), 8u);
  EXPECT_EQ(found.samples[0], 1);

  struct Broken {
    std::size_t at;
    std::uint8_t value;
  } broken[] = {{0, 'X'}, {12, 'X'}, {16, 0x40}, {40, 0x7F}, {36, 'X'}};
  for (const Broken& b : broken) {
    std::vector<std::uint8_t> image = plain;
    image[b.at] = b.value;
    EXPECT_FALSE(findWavSamples(image, found)) << b.at;
  }
  for (std::size_t cut : {0, 20, 36, 43, 47}) {
    std::vector<std::uint8_t> image(plain.begin(),
                                    plain.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(findWavSamples(image, found)) << cut;
  }
}
