#include "archive/chunk_writer.h"

ChunkWriter::ChunkWriter(bool onHelperThread) {
  if (onHelperThread) helper_ = std::thread([this] { run(); });
}

ChunkWriter::~ChunkWriter() {
  if (!helper_.joinable()) return;
  finish();
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  helper_.join();
}

std::uint64_t ChunkWriter::write(Write write, void* context, const char* data, std::size_t size) {
  if (!helper_.joinable()) {
    lastResult_ = write(context, data, size);
    written_ = ++handedOver_;
    return handedOver_;
  }
  std::uint64_t ticket = 0;
  {
    std::lock_guard lock(mutex_);
    waiting_.push_back({write, context, data, size});
    ticket = ++handedOver_;
  }
  changed_.notify_all();
  return ticket;
}

void ChunkWriter::waitUntilWritten(std::uint64_t ticket) {
  if (!helper_.joinable()) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this, ticket] { return written_ >= ticket; });
}

int ChunkWriter::finish() {
  if (!helper_.joinable()) return lastResult_;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return written_ == handedOver_; });
  return lastResult_;
}

void ChunkWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !waiting_.empty() || quit_; });
    if (waiting_.empty()) return;  // asked to end, nothing left
    const Job job = waiting_.front();
    waiting_.pop_front();
    lock.unlock();
    const int result = job.write(job.context, job.data, job.size);
    lock.lock();
    lastResult_ = result;
    ++written_;
    changed_.notify_all();
  }
}
