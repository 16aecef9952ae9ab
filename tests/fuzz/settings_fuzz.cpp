// libFuzzer target for the settings reader: any bytes must parse without a
// fault, and what is parsed must survive a round trip through the writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/settings_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SettingsLines lines = SettingsLines::parse(bytes);
  std::string mask = lines.value("MaskFileName", "%P_%yyyy-%mm-%dd");
  std::string destination = lines.value("destpath", "%MyDoc%DropBox\\Bak\\");
  if (mask.size() > size + 16 || destination.size() > size + 19) std::abort();

  std::string written = lines.render();
  if (written.rfind("\xEF\xBB\xBF", 0) != 0) {
    SettingsLines again = SettingsLines::parse(written);
    if (again.lines() != lines.lines()) std::abort();
  }
  std::string decoded = singleBytesFromUtf8(bytes);
  if (decoded.size() > size) std::abort();
  if (singleBytesFromUtf8(utf8FromSingleBytes(bytes)) != bytes) std::abort();
  return 0;
}
