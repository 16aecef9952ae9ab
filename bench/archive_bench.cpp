// Measures one archive pass of the real archiver (pauses included) against
// its floor, measured in the same run: level-9 raw deflate of the same files
// in the same chunks, plus the 10 ms pause per chunk.
// Usage: archive_bench.exe SOURCE_FOLDER\ ARCHIVE
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

#include "archive/file_list.h"
#include "archive/zip_writer.h"
#include "bench/timing.h"
#include "platform/source_file.h"
#include "zlib.h"

namespace {

SIZE_T peakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

SIZE_T peakPrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

// Deflates every listed file as the pass does, without writing anything.
double deflateSeconds(long long& chunks, long long& inputBytes) {
  std::unique_ptr<unsigned char[]> in(new unsigned char[readBufferSize]);
  std::unique_ptr<unsigned char[]> out(new unsigned char[readBufferSize * 2]);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  for (const FileListEntry& file : fileList) {
    HANDLE handle = CreateFileA(file.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) continue;
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    DWORD got = 0;
    int flush = Z_NO_FLUSH;
    do {
      ReadFile(handle, in.get(), readBufferSize, &got, nullptr);
      ++chunks;
      inputBytes += got;
      flush = got < readBufferSize ? Z_FINISH : Z_NO_FLUSH;
      stream.next_in = in.get();
      stream.avail_in = got;
      do {
        stream.next_out = out.get();
        stream.avail_out = readBufferSize * 2;
        deflate(&stream, flush);
      } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&stream);
    CloseHandle(handle);
  }
  return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: archive_bench SOURCE_FOLDER\\ ARCHIVE\n");
    return 2;
  }
  const std::string source = argv[1];
  const std::string archive = argv[2];
  initArchiver();
  const SIZE_T baseline = peakPrivateBytes();

  // One pass into a new archive: its count and its time.
  auto timedPass = [&](double& seconds) {
    DeleteFileA(archive.c_str());
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    std::int32_t passCount = archiveFolder(archive, source + "*.*", 2, 1);
    seconds = secondsSince(start);
    return passCount;
  };
  double pass = 0, inOrderPass = 0, quickPass = 0;
  const std::int32_t count = timedPass(pass);
  const SIZE_T peak = peakPrivateBytes();

  // The same pass with each chunk deflated before its pause, as it was
  // before the deflate moved into the pause.
  setCompressionOverlapForTests(false);
  timedPass(inOrderPass);
  setCompressionOverlapForTests(true);

  // The same pass without its pauses shows the archiver's own cost.
  ArchiverTestHooks noPauses{false, nullptr, nullptr, nullptr};
  setArchiverTestHooks(&noPauses);
  timedPass(quickPass);
  setArchiverTestHooks(nullptr);

  buildFileList(source, "*.*", 1);
  const std::size_t files = fileList.size();
  long long chunks = 0, inputBytes = 0;
  const double deflate = deflateSeconds(chunks, inputBytes);
  const double floor = deflate + chunks * (pauseAfterChunkMs / 1000.0);
  // What the system really gives for the 10 ms pauses (it may oversleep).
  LARGE_INTEGER pausesStart;
  QueryPerformanceCounter(&pausesStart);
  for (int i = 0; i < 200; ++i) pauseMilliseconds(pauseAfterChunkMs);
  const double pauseSeconds = secondsSince(pausesStart) / 200;
  releaseArchiver();

  std::printf("files %zu\ncount %d\ninput_bytes %lld\nchunks %lld\n", files, count, inputBytes,
              chunks);
  std::printf("pass_seconds %.3f\ndeflate_seconds %.3f\nfloor_seconds %.3f\n", pass, deflate,
              floor);
  std::printf("pass_without_pauses_seconds %.3f\n", quickPass);
  std::printf("pass_deflating_before_the_pause_seconds %.3f\n", inOrderPass);
  std::printf("pauses_alone_seconds %.3f\n", chunks * pauseSeconds);
  std::printf("real_pause_seconds %.5f\nfloor_with_real_pauses_seconds %.3f\n", pauseSeconds,
              deflate + chunks * pauseSeconds);
  std::printf("baseline_private_bytes %zu\npeak_private_bytes %zu\n", static_cast<size_t>(baseline),
              static_cast<size_t>(peak));
  std::printf("peak_working_set_bytes %zu\n", static_cast<size_t>(peakWorkingSet()));
  return count > 0 ? 0 : 1;
}
