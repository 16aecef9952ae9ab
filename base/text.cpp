#include "base/text.h"

char lowerAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAsciiLetter(a[i]) != lowerAsciiLetter(b[i])) return false;
  }
  return true;
}

std::string replaceText(std::string_view text, std::string_view search,
                        std::string_view replacement, bool ignoreCase) {
  if (search.empty() || search.size() > text.size()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::string_view rest = text.substr(i, search.size());
    bool found = rest.size() == search.size() &&
                 (ignoreCase ? equalsIgnoringAsciiCase(rest, search) : rest == search);
    if (found) {
      result += replacement;
      i += search.size();
    } else {
      result += text[i];
      ++i;
    }
  }
  return result;
}

std::string trimSpaces(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}
