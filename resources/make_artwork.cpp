// Build step: writes the chime and the icon for the resource file.
// Usage: make_artwork CHIME.wav ICON.ico
#include <cstdio>
#include <vector>

#include "resources/artwork.h"

namespace {

bool writeAll(const char* path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_artwork CHIME.wav ICON.ico\n");
    return 2;
  }
  if (!writeAll(argv[1], chimeImage()) || !writeAll(argv[2], iconFile())) {
    std::perror("make_artwork");
    return 1;
  }
  return 0;
}
