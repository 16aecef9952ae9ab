#include "archive/buffered_io.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::size_t bufferSize = 256 * 1024;
// Reads jump between the central directory and the entries: a small read
// ahead serves the header fields without reading much that is not used.
constexpr std::size_t readAhead = 16 * 1024;

// One open file: the stream below and one buffer, holding either data to
// write at `bufferStart` or data read from there.
struct Stream {
  const zlib_filefunc64_def* below = nullptr;
  voidpf file = nullptr;
  std::vector<unsigned char> buffer;
  ZPOS64_T position = 0;       // where the caller is
  ZPOS64_T belowPosition = 0;  // where the stream below is
  ZPOS64_T bufferStart = 0;
  std::size_t pending = 0;   // bytes to write, from bufferStart
  std::size_t readable = 0;  // bytes read ahead, from bufferStart
  bool failed = false;
};

bool moveBelowTo(Stream& s, ZPOS64_T position) {
  if (s.belowPosition == position) return true;
  if (s.below->zseek64_file(s.below->opaque, s.file, position, ZLIB_FILEFUNC_SEEK_SET) != 0) {
    s.failed = true;
    return false;
  }
  s.belowPosition = position;
  return true;
}

bool flush(Stream& s) {
  if (s.pending == 0) return !s.failed;
  const std::size_t count = s.pending;
  s.pending = 0;
  if (!moveBelowTo(s, s.bufferStart)) return false;
  uLong written = s.below->zwrite_file(s.below->opaque, s.file, s.buffer.data(), count);
  s.belowPosition += written;
  if (written != count) s.failed = true;
  return !s.failed;
}

voidpf ZCALLBACK openStream(voidpf opaque, const void* name, int mode) {
  auto* below = static_cast<const zlib_filefunc64_def*>(opaque);
  voidpf file = below->zopen64_file(below->opaque, name, mode);
  if (file == nullptr) return nullptr;
  auto* s = new (std::nothrow) Stream;
  if (s == nullptr) {
    below->zclose_file(below->opaque, file);
    return nullptr;
  }
  s->below = below;
  s->file = file;
  s->buffer.resize(bufferSize);
  s->belowPosition = below->ztell64_file(below->opaque, file);
  s->position = s->belowPosition;
  return s;
}

uLong ZCALLBACK readStream(voidpf, voidpf stream, void* data, uLong size) {
  auto& s = *static_cast<Stream*>(stream);
  if (!flush(s)) return 0;
  auto* out = static_cast<unsigned char*>(data);
  uLong done = 0;
  while (done < size) {
    if (s.position >= s.bufferStart && s.position < s.bufferStart + s.readable) {
      std::size_t offset = static_cast<std::size_t>(s.position - s.bufferStart);
      std::size_t count = std::min<std::size_t>(s.readable - offset, size - done);
      std::memcpy(out + done, s.buffer.data() + offset, count);
      done += static_cast<uLong>(count);
      s.position += count;
      continue;
    }
    s.readable = 0;
    if (!moveBelowTo(s, s.position)) break;
    if (size - done >= readAhead) {  // large reads go straight through
      uLong got = s.below->zread_file(s.below->opaque, s.file, out + done, size - done);
      s.belowPosition += got;
      s.position += got;
      done += got;
      break;
    }
    s.bufferStart = s.position;
    uLong got = s.below->zread_file(s.below->opaque, s.file, s.buffer.data(), readAhead);
    s.belowPosition += got;
    s.readable = got;
    if (got == 0) break;
  }
  return done;
}

uLong ZCALLBACK writeStream(voidpf, voidpf stream, const void* data, uLong size) {
  auto& s = *static_cast<Stream*>(stream);
  if (s.failed) return 0;
  s.readable = 0;
  if (s.pending > 0 && s.bufferStart + s.pending != s.position && !flush(s)) return 0;
  if (s.pending + size > bufferSize && !flush(s)) return 0;
  if (size >= bufferSize) {
    if (!moveBelowTo(s, s.position)) return 0;
    uLong written = s.below->zwrite_file(s.below->opaque, s.file, data, size);
    s.belowPosition += written;
    s.position += written;
    if (written != size) s.failed = true;
    return written;
  }
  if (s.pending == 0) s.bufferStart = s.position;
  std::memcpy(s.buffer.data() + s.pending, data, size);
  s.pending += size;
  s.position += size;
  return size;
}

ZPOS64_T ZCALLBACK tellStream(voidpf, voidpf stream) {
  auto& s = *static_cast<Stream*>(stream);
  return s.failed ? static_cast<ZPOS64_T>(-1) : s.position;
}

long ZCALLBACK seekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto& s = *static_cast<Stream*>(stream);
  if (!flush(s)) return -1;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: s.position = offset; break;
    case ZLIB_FILEFUNC_SEEK_CUR: s.position += offset; break;
    case ZLIB_FILEFUNC_SEEK_END:
      s.readable = 0;
      if (s.below->zseek64_file(s.below->opaque, s.file, offset, ZLIB_FILEFUNC_SEEK_END) != 0) {
        return -1;
      }
      s.belowPosition = s.below->ztell64_file(s.below->opaque, s.file);
      s.position = s.belowPosition;
      break;
    default: return -1;
  }
  return 0;
}

int ZCALLBACK closeStream(voidpf, voidpf stream) {
  auto* s = static_cast<Stream*>(stream);
  bool flushed = flush(*s);
  int closed = s->below->zclose_file(s->below->opaque, s->file);
  bool failed = s->failed;
  delete s;
  return (!flushed || failed || closed != 0) ? -1 : 0;
}

int ZCALLBACK errorStream(voidpf, voidpf stream) {
  auto& s = *static_cast<Stream*>(stream);
  return s.failed ? 1 : s.below->zerror_file(s.below->opaque, s.file);
}

}  // namespace

zlib_filefunc64_def bufferedFileLayer(const zlib_filefunc64_def* below) {
  zlib_filefunc64_def layer{};
  layer.zopen64_file = openStream;
  layer.zread_file = readStream;
  layer.zwrite_file = writeStream;
  layer.ztell64_file = tellStream;
  layer.zseek64_file = seekStream;
  layer.zclose_file = closeStream;
  layer.zerror_file = errorStream;
  layer.opaque = const_cast<zlib_filefunc64_def*>(below);
  return layer;
}
