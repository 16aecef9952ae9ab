#include "resources/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/wav.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// One struck bell note: a few inharmonic partials, the higher ones dying
// sooner, after a 4 ms attack.
double bellNote(double frequency, double t) {
  if (t < 0) return 0;
  struct Partial {
    double ratio, level, decay;
  };
  constexpr std::array<Partial, 5> partials{{{1.0, 1.0, 4.5},
                                             {2.0, 0.45, 7.0},
                                             {2.76, 0.22, 10.0},
                                             {4.07, 0.10, 14.0},
                                             {5.4, 0.05, 20.0}}};
  double value = 0;
  for (const Partial& p : partials) {
    value += p.level * std::exp(-p.decay * t) * std::sin(2 * pi * frequency * p.ratio * t);
  }
  return value * std::min(1.0, t / 0.004);
}

}  // namespace

std::vector<std::uint8_t> chimeImage() {
  constexpr double rate = 22050;
  // G5, then C6 a little later, one a little to each side.
  constexpr double first = 783.99, second = 1046.50, secondStart = 0.16;
  std::vector<double> left(chimeFrames), right(chimeFrames);
  double peak = 0;
  for (std::size_t i = 0; i < chimeFrames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double a = bellNote(first, t), b = bellNote(second, t - secondStart);
    // The last 60 ms fade out, so that the sound ends in silence.
    const double fade = std::min(1.0, (static_cast<double>(chimeFrames - i) / rate) / 0.06);
    left[i] = (0.65 * a + 0.45 * b) * fade;
    right[i] = (0.45 * a + 0.65 * b) * fade;
    peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
  }
  const double scale = 0.7 * 32767 / peak;  // about -3 dB below full scale
  std::vector<std::int16_t> samples;
  samples.reserve(chimeFrames * 2);
  for (std::size_t i = 0; i < chimeFrames; ++i) {
    samples.push_back(static_cast<std::int16_t>(std::lround(left[i] * scale)));
    samples.push_back(static_cast<std::int16_t>(std::lround(right[i] * scale)));
  }
  return wavImage(WavFormat{2, 22050, 16}, samples, "INAM", "Carillon de fin, Sauvegarde");
}

namespace {

struct Colour {
  double r, g, b, a;
};

// What covers the point (x, y) of the unit square, y downwards: an amber
// folder with a blue disc holding a white arrow pointing down into it.
Colour iconColourAt(double x, double y) {
  auto inRoundRect = [](double x, double y, double left, double top, double right, double bottom,
                        double radius) {
    const double cx = std::clamp(x, left + radius, right - radius);
    const double cy = std::clamp(y, top + radius, bottom - radius);
    return x >= left && x <= right && y >= top && y <= bottom &&
           (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
  const double dx = x - 0.70, dy = y - 0.70;
  const double disc = std::sqrt(dx * dx + dy * dy);
  if (disc <= 0.27) {
    // The arrow: a shaft and a head, white on blue.
    const bool shaft = std::abs(dx) <= 0.045 && dy >= -0.17 && dy <= 0.03;
    const bool head = dy >= 0.0 && dy <= 0.15 && std::abs(dx) <= 0.13 * (0.15 - dy) / 0.15;
    if (shaft || head) return {1, 1, 1, 1};
    if (disc >= 0.245) return {0.07, 0.22, 0.50, 1};  // a darker rim
    return {0.16, 0.42, 0.82, 1};
  }
  if (inRoundRect(x, y, 0.05, 0.30, 0.92, 0.86, 0.06)) {
    const double shade = 0.06 * (y - 0.30) / 0.56;  // a little darker towards the bottom
    if (y <= 0.335) return {0.99, 0.86, 0.45, 1};   // the edge of the front flap
    return {0.98 - shade, 0.75 - shade, 0.22 - shade / 2, 1};
  }
  if (inRoundRect(x, y, 0.05, 0.16, 0.45, 0.40, 0.05) ||
      inRoundRect(x, y, 0.05, 0.22, 0.90, 0.40, 0.05)) {
    return {0.86, 0.58, 0.12, 1};  // the back and its tab
  }
  return {0, 0, 0, 0};
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// One icon image: BITMAPINFOHEADER, BGRA rows bottom up, then the AND mask.
std::vector<std::uint8_t> iconImage(int size) {
  constexpr int grid = 4;  // samples a pixel side, for smooth edges
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> mask;
  const int maskRow = ((size + 31) / 32) * 4;
  mask.assign(static_cast<std::size_t>(maskRow * size), 0);
  for (int row = size - 1; row >= 0; --row) {
    for (int column = 0; column < size; ++column) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < grid; ++sy) {
        for (int sx = 0; sx < grid; ++sx) {
          Colour c =
              iconColourAt((column + (sx + 0.5) / grid) / size, (row + (sy + 0.5) / grid) / size);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      }
      const double n = grid * grid;
      auto byte = [](double v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
      };
      const double alpha = a / n;
      const double un = a > 0 ? 1 / a : 0;  // colours are stored without the alpha multiplied in
      pixels.push_back(byte(b * un));
      pixels.push_back(byte(g * un));
      pixels.push_back(byte(r * un));
      pixels.push_back(byte(alpha));
      if (alpha < 0.5) {
        const int maskIndex = (size - 1 - row) * maskRow + column / 8;
        mask[static_cast<std::size_t>(maskIndex)] |=
            static_cast<std::uint8_t>(0x80 >> (column % 8));
      }
    }
  }
  std::vector<std::uint8_t> out;
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(size));
  put32(out, static_cast<std::uint32_t>(size * 2));  // colour and mask
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(pixels.size() + mask.size()));
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  out.insert(out.end(), pixels.begin(), pixels.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

}  // namespace

std::vector<std::uint8_t> iconFile() {
  constexpr std::array<int, 4> sizes{16, 24, 32, 48};
  std::vector<std::vector<std::uint8_t>> images;
  for (int size : sizes) images.push_back(iconImage(size));
  std::vector<std::uint8_t> out;
  put16(out, 0);
  put16(out, 1);  // an icon
  put16(out, sizes.size());
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(sizes[i]));
    out.push_back(static_cast<std::uint8_t>(sizes[i]));
    out.push_back(0);  // no palette
    out.push_back(0);
    put16(out, 1);
    put16(out, 32);
    put32(out, static_cast<std::uint32_t>(images[i].size()));
    put32(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}
