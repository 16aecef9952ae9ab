#include "settings/settings_format.h"

#include <cstdint>

#include "base/text.h"

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanksEnd(std::string_view text) {
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view trimBlanksStart(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

SettingsLine lineOf(std::string_view text) {
  SettingsLine line;
  if (text.front() == ';') {
    line.kind = SettingsLine::Kind::comment;
    text.remove_prefix(1);
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    line.name = text;
  } else if (text.front() == '[') {
    line.kind = SettingsLine::Kind::group;
    text.remove_prefix(1);
    line.name = text.substr(0, text.find(']'));
  } else {
    std::size_t equals = text.find('=');
    line.name = trimBlanksEnd(text.substr(0, equals));
    if (equals != std::string_view::npos) line.value = trimBlanksStart(text.substr(equals + 1));
  }
  return line;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

SettingsLines SettingsLines::parse(std::string_view bytes) {
  SettingsLines result;
  if (bytes.substr(0, byteOrderMark.size()) == byteOrderMark) {
    result.utf8_ = true;
    bytes.remove_prefix(byteOrderMark.size());
  }
  std::size_t i = 0;
  while (i < bytes.size()) {
    while (i < bytes.size() && (isLineEnd(bytes[i]) || isBlank(bytes[i]))) ++i;
    std::size_t end = i;
    while (end < bytes.size() && !isLineEnd(bytes[end])) ++end;
    if (end > i) result.lines_.push_back(lineOf(bytes.substr(i, end - i)));
    i = end;
  }
  return result;
}

std::size_t SettingsLines::firstGroup() const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == SettingsLine::Kind::group) return i;
  }
  return lines_.size();
}

std::string SettingsLines::value(std::string_view key, std::string_view defaultValue) const {
  const std::string wanted = utf8_ ? utf8FromSingleBytes(key) : std::string(key);
  const std::size_t end = firstGroup();
  for (std::size_t i = 0; i < end; ++i) {
    const SettingsLine& line = lines_[i];
    if (line.kind == SettingsLine::Kind::key && equalsIgnoringAsciiCase(line.name, wanted)) {
      std::string_view found = trimBlanksEnd(line.value);
      return utf8_ ? singleBytesFromUtf8(found) : std::string(found);
    }
  }
  return std::string(defaultValue);
}

void SettingsLines::addComment(std::string_view text) {
  SettingsLine line{SettingsLine::Kind::comment, std::string(text), {}};
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt_), std::move(line));
  ++insertAt_;
}

void SettingsLines::setValue(std::string_view key, std::string_view value) {
  const std::size_t end = firstGroup();
  for (std::size_t i = 0; i < end; ++i) {
    SettingsLine& line = lines_[i];
    if (line.kind == SettingsLine::Kind::key && equalsIgnoringAsciiCase(line.name, key)) {
      line.value = value;
      return;
    }
  }
  SettingsLine line{SettingsLine::Kind::key, std::string(key), std::string(value)};
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end), std::move(line));
  // This is now the line added last: the next comment goes after it.
  insertAt_ = end + 1;
}

std::string SettingsLines::render() const {
  std::string text;
  for (const SettingsLine& line : lines_) {
    switch (line.kind) {
      case SettingsLine::Kind::comment: text += "; " + line.name; break;
      case SettingsLine::Kind::group: text += "[" + line.name + "]"; break;
      case SettingsLine::Kind::key: text += line.name + " = " + line.value; break;
    }
    text += "\r\n";
  }
  return text;
}

std::string singleBytesFromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    if (isContinuation(lead)) {  // stray continuation byte
      ++i;
      continue;
    }
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    // Take the continuation bytes that are there, up to the length announced.
    std::size_t taken = 1;
    std::uint32_t code = lead & (0x7F >> length);
    while (taken < length && i + taken < text.size() &&
           isContinuation(static_cast<unsigned char>(text[i + taken]))) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
      ++taken;
    }
    i += taken;
    // Truncated sequences, overlong forms (C0, C1 and the like), lead bytes
    // F5 to FF and everything above U+00FF become "?".
    bool wellFormed = taken == length && lead < 0xF5 &&
                      code >= (length == 2   ? 0x80u
                               : length == 3 ? 0x800u
                                             : 0x10000u);
    out += (wellFormed && code <= 0xFF) ? static_cast<char>(code) : '?';
  }
  return out;
}

std::string utf8FromSingleBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}
