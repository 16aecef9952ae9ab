#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "platform/source_file.h"

namespace {

const SourceReadFault* readFault = nullptr;

}  // namespace

void setSourceReadFaultForTests(const SourceReadFault* fault) { readFault = fault; }

bool SourceFile::open(const std::string& path) {
  close();
  readsBeforeFault_ = -1;
  if (readFault && path.size() >= readFault->pathEnd.size() &&
      path.compare(path.size() - readFault->pathEnd.size(), std::string::npos,
                   readFault->pathEnd) == 0) {
    readsBeforeFault_ = readFault->failingRead;
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = file;
  failed_ = false;
  return true;
}

void SourceFile::close() {
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = nullptr;
}

bool SourceFile::facts(const std::string& path, Facts& facts) const {
  // GetFileInformationByHandle would give all three at once, but it also
  // looks up the volume, which costs more than the other queries together.
  FILETIME written{};
  LARGE_INTEGER size{};
  if (handle_ == nullptr || !GetFileTime(handle_, nullptr, nullptr, &written) ||
      !GetFileSizeEx(handle_, &size)) {
    return false;
  }
  facts.attributes = GetFileAttributesA(path.c_str());
  facts.lastWriteTime = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
  facts.size = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

std::size_t SourceFile::read(void* buffer, std::size_t count) {
  DWORD got = 0;
  lastReadShort_ = false;
  if (readsBeforeFault_ >= 0 && readsBeforeFault_-- == 0) {
    failed_ = true;
    return 0;
  }
  if (handle_ == nullptr || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, nullptr)) {
    failed_ = true;
    return 0;
  }
  lastReadShort_ = got < count;
  return got;
}

bool SourceFile::atEnd() {
  // A read that gave fewer bytes than asked has met the end already; only
  // after a full one is a byte read ahead.
  if (failed_ || lastReadShort_) return true;
  char ahead = 0;
  DWORD got = 0;
  if (handle_ == nullptr || !ReadFile(handle_, &ahead, 1, &got, nullptr)) {
    failed_ = true;
    return true;
  }
  if (got == 0) return true;
  LARGE_INTEGER back;
  back.QuadPart = -1;
  if (!SetFilePointerEx(handle_, back, nullptr, FILE_CURRENT)) {
    failed_ = true;
    return true;
  }
  return false;
}

void pauseMilliseconds(unsigned milliseconds) {
  timeBeginPeriod(1);
  Sleep(milliseconds);
  timeEndPeriod(1);
}

std::string oemFromAnsi(const std::string& text, bool& exact) {
  std::string oem = text;
  CharToOemBuffA(text.data(), oem.data(), static_cast<DWORD>(oem.size()));
  std::string back = oem;
  OemToCharBuffA(oem.data(), back.data(), static_cast<DWORD>(back.size()));
  exact = back == text;
  return oem;
}

std::string utf8FromAnsi(const std::string& text) {
  if (text.empty()) return {};
  int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(wide));
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), buffer.data(), wide);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}
