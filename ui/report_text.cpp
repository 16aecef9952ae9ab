#include "ui/report_text.h"

#include <cstdio>

#include "settings/date_mask.h"

std::string runningTitle(std::string_view programTitle, DateValue elapsedSeconds) {
  return std::string(programTitle) + formatDateMask(" - %ii minutes %ss secondes", elapsedSeconds);
}

std::string compressionTimeLine(DateValue elapsedSeconds) {
  return formatDateMask("Temps de compréssion %ii minutes %ss secondes", elapsedSeconds);
}

std::string sizeText(std::int64_t bytes) {
  constexpr std::int64_t mebi = 1048576;
  const bool inMebi = bytes > mebi;
  const auto quotient =
      static_cast<float>(static_cast<double>(bytes) / (inMebi ? 1048576.0 : 1024.0));
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.2f", static_cast<double>(quotient));
  return std::string(digits) + (inMebi ? " MO" : " KO");
}

std::string countLine(std::int32_t count, std::int64_t archiveBytes) {
  return std::to_string(count) + " fichiers compréssés en " + sizeText(archiveBytes);
}

ReportInsertion reportInsertion(std::int32_t position, std::int32_t lineCount, bool boxEmpty,
                                std::string_view text) {
  if (position >= 0 && position < lineCount) {
    return {false, position, std::string(text) + "\r\n"};
  }
  return {true, 0, (boxEmpty ? std::string() : std::string("\r\n")) + std::string(text)};
}
