#include "base/wav.h"

#include <cstring>

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putTag(std::vector<std::uint8_t>& out, std::string_view tag) {
  for (std::size_t i = 0; i < 4; ++i)
    out.push_back(i < tag.size() ? static_cast<std::uint8_t>(tag[i]) : ' ');
}

std::uint16_t get16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t get32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
         std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

bool tagAt(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag) {
  return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

}  // namespace

std::vector<std::uint8_t> wavImage(const WavFormat& format, std::span<const std::int16_t> samples,
                                   std::string_view infoTag, std::string_view infoText) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
  // The text with its NUL, padded to an even length as chunks are.
  std::uint32_t textBytes = static_cast<std::uint32_t>(infoText.size() + 1);
  const std::uint32_t paddedText = textBytes + (textBytes & 1);
  const std::uint32_t listBytes = 4 + 8 + paddedText;

  std::vector<std::uint8_t> out;
  out.reserve(44 + dataBytes + 8 + listBytes);
  putTag(out, "RIFF");
  put32(out, 4 + (8 + 16) + (8 + dataBytes) + (8 + listBytes));
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  put32(out, 16);
  put16(out, 1);
  put16(out, format.channels);
  put32(out, format.framesPerSecond);
  put32(out, format.bytesPerSecond());
  put16(out, format.bytesPerFrame());
  put16(out, format.bitsPerSample);
  putTag(out, "data");
  put32(out, dataBytes);
  for (std::int16_t sample : samples) put16(out, static_cast<std::uint16_t>(sample));
  putTag(out, "LIST");
  put32(out, listBytes);
  putTag(out, "INFO");
  putTag(out, infoTag);
  put32(out, textBytes);
  out.insert(out.end(), infoText.begin(), infoText.end());
  out.resize(out.size() + (paddedText - infoText.size()), 0);
  return out;
}

bool findWavSamples(std::span<const std::uint8_t> image, WavSamples& found) {
  if (image.size() < 36 || !tagAt(image, 0, "RIFF") || !tagAt(image, 12, "fmt ")) return false;
  const std::uint32_t formatBytes = get32(image, 16);
  if (formatBytes < 16 || formatBytes > image.size() - 20) return false;
  found.formatTag = get16(image, 20);
  found.format.channels = get16(image, 22);
  found.format.framesPerSecond = get32(image, 24);
  found.format.bitsPerSample = get16(image, 34);
  // Chunks are padded to an even length.
  std::size_t at = 20 + formatBytes + (formatBytes & 1);
  while (at + 8 <= image.size()) {
    const std::uint32_t length = get32(image, at + 4);
    if (length > image.size() - at - 8) return false;
    if (tagAt(image, at, "data")) {
      found.samples = image.subspan(at + 8, length);
      return true;
    }
    at += 8 + std::size_t{length} + (length & 1);
  }
  return false;
}
