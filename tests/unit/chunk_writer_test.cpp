#include "archive/chunk_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Records every chunk as it is written, slowly, and fails where told.
struct Recorder {
  std::vector<std::string> chunks;
  std::thread::id writer;
  int failAt = -1;
  static int write(void* context, const char* data, std::size_t size) {
    auto* self = static_cast<Recorder*>(context);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    self->chunks.emplace_back(data, size);
    self->writer = std::this_thread::get_id();
    return static_cast<int>(self->chunks.size()) - 1 == self->failAt ? -1 : 0;
  }
};

}  // namespace

// The caller reuses a buffer two chunks later once its chunk is written, as
// the archiver does: every chunk must be written as it was handed over, in
// order.
TEST(chunkWriter, writesEveryChunkInOrderFromTwoBuffers) {
  for (bool helper : {true, false}) {
    Recorder recorder;
    ChunkWriter writer(helper);
    char buffers[2][8];
    std::uint64_t tickets[2] = {0, 0};
    std::vector<std::string> expected;
    for (int i = 0; i < 50; ++i) {
      char* buffer = buffers[i % 2];
      if (tickets[i % 2] != 0) writer.waitUntilWritten(tickets[i % 2]);
      std::snprintf(buffer, sizeof buffers[0], "c%05d", i);
      expected.emplace_back(buffer, 6);
      tickets[i % 2] = writer.write(Recorder::write, &recorder, buffer, 6);
    }
    EXPECT_EQ(writer.finish(), 0);
    EXPECT_EQ(recorder.chunks, expected);
    EXPECT_EQ(recorder.writer != std::this_thread::get_id(), helper);
  }
}

TEST(chunkWriter, finishGivesTheLastResult) {
  struct Case {
    int failAt, chunks, result;
  } cases[] = {{-1, 3, 0}, {0, 3, 0}, {2, 3, -1}, {0, 1, -1}};
  for (const Case& c : cases) {
    for (bool helper : {true, false}) {
      Recorder recorder;
      recorder.failAt = c.failAt;
      ChunkWriter writer(helper);
      for (int i = 0; i < c.chunks; ++i) writer.write(Recorder::write, &recorder, "x", 1);
      EXPECT_EQ(writer.finish(), c.result) << c.failAt << " " << c.chunks;
    }
  }
}

TEST(chunkWriter, endsWhileAChunkIsWritten) {
  Recorder recorder;
  {
    ChunkWriter writer(true);
    writer.write(Recorder::write, &recorder, "last", 4);
  }  // no finish: the destructor waits for the chunk
  EXPECT_EQ(recorder.chunks, std::vector<std::string>{"last"});
}
