#include "app/command_line.h"

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  while (i < n) {
    if (commandLine[i] == ' ') {
      ++i;
      continue;
    }
    if (commandLine[i] == '"') {
      std::size_t close = commandLine.find('"', i + 1);
      if (close == std::string_view::npos) close = n;
      words.emplace_back(commandLine.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      std::size_t end = commandLine.find(' ', i);
      if (end == std::string_view::npos) end = n;
      words.emplace_back(commandLine.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

std::string joinedParameters(std::string_view commandLine) {
  std::vector<std::string> words = splitCommandLine(commandLine);
  std::string joined;
  for (std::size_t i = 1; i < words.size(); ++i) joined += words[i];
  return joined;
}

std::string filePartOf(std::string_view path) {
  if (!path.empty() && path.front() == '"') path.remove_prefix(1);
  path = path.substr(0, path.find('"'));
  std::size_t separator = path.find_last_of("\\/");
  if (separator != std::string_view::npos) path.remove_prefix(separator + 1);
  return std::string(path);
}

std::string programTitleOf(std::string_view programPath) {
  std::string file = filePartOf(programPath);
  std::size_t dot = file.rfind('.');
  if (dot != std::string::npos) file.resize(dot);
  return file;
}
