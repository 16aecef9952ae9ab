// Reads a freshly written archive back and compares it with what was
// written: every new entry is inflated and its name, CRC-32 and size checked.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "ioapi.h"

// What the writer put into one entry.
struct WrittenEntry {
  std::string name;        // as stored (OEM or UTF-8 bytes)
  std::uint32_t crc = 0;   // CRC-32 of the data handed to the writer
  std::uint64_t size = 0;  // bytes handed to the writer
};

// True when the archive at `path` holds `existingEntries` entries followed
// by exactly the written ones, each reading back to the same name, CRC-32
// and size. False on any mismatch or read failure, and when `stop` is set
// while it runs. `io` is the file layer to read through.
bool verifyWrittenEntries(const std::string& path, zlib_filefunc64_def* io,
                          std::uint64_t existingEntries, const std::vector<WrittenEntry>& written,
                          const std::atomic<bool>& stop);
