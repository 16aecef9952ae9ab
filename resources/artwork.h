// The program's chime and icon, drawn by code so that the build makes them
// from the sources. Portable.
#pragma once

#include <cstdint>
#include <vector>

// The chime: a two-note bell, 16-bit PCM stereo at 22050 frames per second,
// 20191 frames (about 0.92 s), as one WAV image of 80856 bytes whose samples
// are followed by a 48-byte LIST INFO chunk.
std::vector<std::uint8_t> chimeImage();
inline constexpr std::size_t chimeImageBytes = 80856;
inline constexpr std::size_t chimeFrames = 20191;

// The icon file (.ico) with 16, 24, 32 and 48 pixel images, 32 bits each.
std::vector<std::uint8_t> iconFile();
