// The layout of a WAV file image (RIFF, 16-bit PCM) as the program stores
// its chime, and the chunk walk that finds the samples in such an image.
// Portable: works on bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct WavFormat {
  std::uint16_t channels = 2;
  std::uint32_t framesPerSecond = 22050;
  std::uint16_t bitsPerSample = 16;
  std::uint16_t bytesPerFrame() const {
    return static_cast<std::uint16_t>(channels * bitsPerSample / 8);
  }
  std::uint32_t bytesPerSecond() const { return framesPerSecond * bytesPerFrame(); }
  friend bool operator==(const WavFormat&, const WavFormat&) = default;
};

// A whole WAV image: "RIFF", "WAVE", the 16-byte "fmt " record (PCM), the
// "data" chunk with the interleaved samples, then a "LIST" chunk of type
// "INFO" holding one text entry under `infoTag` (four letters). The text is
// stored with its ending NUL, padded to an even length.
std::vector<std::uint8_t> wavImage(const WavFormat& format, std::span<const std::int16_t> samples,
                                   std::string_view infoTag, std::string_view infoText);

// What a loader finds in an image: "RIFF" at 0 and "fmt " at 12, the format
// record at 20, and the "data" chunk found by walking the chunks after the
// format record; chunks after "data" are ignored. `samples` points into the
// image. False when the image is not laid out so, or a chunk runs past its end.
struct WavSamples {
  std::uint16_t formatTag = 0;  // 1: PCM
  WavFormat format;
  std::span<const std::uint8_t> samples;
};
bool findWavSamples(std::span<const std::uint8_t> image, WavSamples& found);
