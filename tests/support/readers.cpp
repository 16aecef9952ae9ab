#include "tests/support/readers.h"

#include <windows.h>

#include <sstream>

#include "tests/support/temp_folder.h"

namespace {

std::string hexOf(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string jsonOf(const ArchiveExpectations& expect) {
  std::ostringstream out;
  out << "{";
  const char* comma = "";
  if (expect.count) {
    out << "\"count\": " << *expect.count;
    comma = ", ";
  }
  if (expect.zip64End) {
    out << comma << "\"zip64_end\": " << (*expect.zip64End ? "true" : "false");
    comma = ", ";
  }
  if (expect.uniformFlag || expect.uniformVersion || expect.uniformMadeBy) {
    out << comma << "\"uniform\": {";
    const char* inner = "";
    if (expect.uniformFlag) {
      out << "\"flag\": " << *expect.uniformFlag;
      inner = ", ";
    }
    if (expect.uniformVersion) {
      out << inner << "\"version\": " << *expect.uniformVersion;
      inner = ", ";
    }
    if (expect.uniformMadeBy) out << inner << "\"made_by\": " << *expect.uniformMadeBy;
    out << "}";
    comma = ", ";
  }
  if (expect.entries) {
    if (expect.entriesByName) out << comma << "\"by_name\": true";
    comma = expect.entriesByName ? ", " : comma;
    out << comma << "\"entries\": [";
    const char* separator = "";
    for (const ExpectedEntry& e : *expect.entries) {
      out << separator << "{";
      const char* field = "";
      auto put = [&](const char* key, auto value) {
        out << field << "\"" << key << "\": " << value;
        field = ", ";
      };
      if (e.name) put("name", "\"" + hexOf(*e.name) + "\"");
      if (e.flag) put("flag", *e.flag);
      if (e.version) put("version", *e.version);
      if (e.attr) put("attr", *e.attr);
      if (e.size) put("size", *e.size);
      if (e.dos) put("dos", *e.dos);
      if (e.zip64) put("zip64", *e.zip64 ? "true" : "false");
      out << "}";
      separator = ", ";
    }
    out << "]";
  }
  out << "}";
  return out.str();
}

}  // namespace

std::string unixPathOf(const std::string& windowsPath) {
  using Convert = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return {};
  wchar_t wide[MAX_PATH * 4] = {};
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 4);
  char* unix = convert(wide);
  if (!unix) return {};
  std::string path = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

std::string runOnHost(const std::string& command, unsigned timeoutSeconds) {
  static unsigned runs = 0;
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string done = std::string(temp) + "host-" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(runs++) + ".out";
  DeleteFileA(done.c_str());
  const std::string output = unixPathOf(done);
  // Wine starts host programs without waiting for them: the output file,
  // moved into place when complete, says that the command has finished.
  std::string script =
      "(" + command + ") > '" + output + ".part' 2>&1; mv '" + output + ".part' '" + output + "'";
  std::string line = "/bin/sh -c \"";
  for (char c : script) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') line += '\\';
    line += c;
  }
  line += "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return "cannot start /bin/sh";
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  const ULONGLONG deadline = GetTickCount64() + timeoutSeconds * 1000ull;
  while (!pathExists(done)) {
    if (GetTickCount64() > deadline) return "the host command did not finish";
    Sleep(50);
  }
  std::string text = readFile(done);
  DeleteFileA(done.c_str());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string checkWithReaders(const std::string& archivePath, const ArchiveExpectations& expect) {
  const std::string expectPath = archivePath + ".expect.json";
  if (!writeFile(expectPath, jsonOf(expect))) return "cannot write the expectations";
  std::string verdict =
      runOnHost("python3 '" SAUVEGARDE_SOURCE_DIR "/tests/readers/check_zip.py' '" +
                unixPathOf(archivePath) + "' '" + unixPathOf(expectPath) + "'");
  DeleteFileA(expectPath.c_str());
  return verdict;
}
