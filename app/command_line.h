// The command line as the program receives it, and the names derived from
// the program's own path. Portable: works on texts only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a raw command line into words. Only the space character separates
// words. A word that begins with a double quote runs to the next double quote
// (or the end), without the quotes, and may be empty; the next word begins
// right after the closing quote. Any other word runs to the next space; a
// double quote inside it is an ordinary character.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The parameters (every word but the first, which names the program) joined
// with nothing between them: the path to back up, not yet validated.
std::string joinedParameters(std::string_view commandLine);

// The text after the last backslash or slash (the whole text when it has
// neither). A double quote at the very start is skipped, and a double quote
// ends the scan.
std::string filePartOf(std::string_view path);

// The program's title: the file part of its path less the text from the last
// dot on (Sauve.Docs.exe gives Sauve.Docs; a name without a dot is whole).
std::string programTitleOf(std::string_view programPath);
