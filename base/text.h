// Byte-string helpers shared by the naming and path code. Texts are
// single-byte strings in the Windows ANSI code page; only the letters A to Z
// have a case here, every other byte matches only itself.
#pragma once

#include <string>
#include <string_view>

// The letter in lower case when it is one of A to Z, the byte unchanged
// otherwise.
char lowerAsciiLetter(char c);

// Whether the two texts are equal, A to Z compared without regard to case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Replaces every occurrence of `search` in `text` by `replacement`. One scan
// from left to right: after a replacement the scan goes on behind the
// replaced occurrence, so inserted text is never scanned again. An empty
// search text leaves the text unchanged.
std::string replaceText(std::string_view text, std::string_view search,
                        std::string_view replacement, bool ignoreCase);

// The text without leading and trailing space characters (tabs stay).
std::string trimSpaces(std::string_view text);
