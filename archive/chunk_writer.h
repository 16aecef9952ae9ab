// Writes the chunks of an entry on a helper thread, one after another in the
// order handed over, while the archiving thread goes on reading and pausing.
// Portable.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

class ChunkWriter {
 public:
  // What writes one chunk (deflate and write, for the archiver); returns
  // its result, 0 (ZIP_OK) for success.
  using Write = int (*)(void* context, const char* data, std::size_t size);

  // Without a helper every chunk is written at once on the calling thread.
  explicit ChunkWriter(bool onHelperThread);
  ChunkWriter(const ChunkWriter&) = delete;
  ChunkWriter& operator=(const ChunkWriter&) = delete;
  ~ChunkWriter();  // waits for the chunks handed over, then ends the helper

  // Has the chunk written after those handed over before; returns its
  // ticket. `data` must stay as it is until waitUntilWritten(ticket) or
  // finish() has returned. One thread hands chunks over.
  std::uint64_t write(Write write, void* context, const char* data, std::size_t size);

  // Waits until the chunk of that ticket (and every one before it) is
  // written, so that its buffer may be used again.
  void waitUntilWritten(std::uint64_t ticket);

  // Waits until every chunk handed over is written; the result of the last
  // one. Between finish() and the next write(), nothing runs on the helper.
  int finish();

 private:
  void run();

  struct Job {
    Write write = nullptr;
    void* context = nullptr;
    const char* data = nullptr;
    std::size_t size = 0;
  };
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> waiting_;
  std::uint64_t handedOver_ = 0;  // tickets are 1, 2, 3, ...
  std::uint64_t written_ = 0;
  bool quit_ = false;
  int lastResult_ = 0;
  std::thread helper_;  // last: started once the rest is set
};
