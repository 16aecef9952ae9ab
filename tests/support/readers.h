// Independent checks of an archive written under Wine: the Linux readers
// (unzip, Python's zipfile, 7-Zip, bsdtar) and a header comparison, run by
// tests/readers/check_zip.py on the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ExpectedEntry {
  std::optional<std::string> name;  // the stored bytes
  std::optional<unsigned> flag;
  std::optional<unsigned> version;
  std::optional<std::uint32_t> attr;
  std::optional<std::uint64_t> size;
  std::optional<std::uint32_t> dos;
  std::optional<bool> zip64;
};

struct ArchiveExpectations {
  std::optional<std::uint64_t> count;
  std::optional<std::vector<ExpectedEntry>> entries;
  bool entriesByName = false;  // match the entries by name, not by position
  std::optional<unsigned> uniformFlag;
  std::optional<unsigned> uniformVersion;
  std::optional<unsigned> uniformMadeBy;
  std::optional<bool> zip64End;  // a Zip64 end of central directory record
};

// "OK", or the problems found, one a line.
std::string checkWithReaders(const std::string& archivePath, const ArchiveExpectations& expect);

// Runs a shell command on the host (Wine) and waits for its end; its output
// (standard output and errors), or a line saying why it could not run.
std::string runOnHost(const std::string& command, unsigned timeoutSeconds = 900);

// The host path of a Windows path (Wine).
std::string unixPathOf(const std::string& windowsPath);
