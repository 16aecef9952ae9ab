// The texts of the progress window and where its report lines go. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_value.h"

inline constexpr std::string_view sourceLinePrefix = "Source = ";
inline constexpr std::string_view targetLinePrefix = "Cible = ";
inline constexpr std::string_view cancelCaption = "Annuler";
inline constexpr std::string_view closeCaption = "Fermer";
inline constexpr std::string_view compressionFailedLine = "Erreur, la compréssion a échouée !";
inline constexpr std::string_view copyFailedLine =
    "Erreur, la copie du fichier temporaire a échouée !";
inline constexpr std::string_view successLine = "Terminé avec succés !";
inline constexpr std::string_view errorTitleSuffix = " - Erreur";
inline constexpr std::string_view successTitleSuffix = " - Terminé";
inline constexpr std::string_view notSavedPrefix = "Non sauvegardé : ";

// The title while the worker runs: the program title, then the minutes and
// seconds of the count (" - 02 minutes 05 secondes"; hours are not shown).
std::string runningTitle(std::string_view programTitle, DateValue elapsedSeconds);

// "Temps de compréssion 02 minutes 05 secondes".
std::string compressionTimeLine(DateValue elapsedSeconds);

// The archive size: above 1048576 bytes in MO, else in KO, the quotient in
// single precision with two decimals and a point (512 gives "0.50 KO").
std::string sizeText(std::int64_t bytes);

// "12 fichiers compréssés en 1.50 MO" ("fichiers" whatever the count).
std::string countLine(std::int32_t count, std::int64_t archiveBytes);

// Where a line goes in the report box, given the box's line count (an empty
// box has one empty line): a position that names an existing line inserts
// the text and a line break at the start of that line; -1, or a position
// past the last line, appends a line break (unless the box is empty) and
// then the text.
struct ReportInsertion {
  bool append = true;
  std::int32_t line = 0;  // when not appending
  std::string text;       // the bytes to insert there
  friend bool operator==(const ReportInsertion&, const ReportInsertion&) = default;
};
ReportInsertion reportInsertion(std::int32_t position, std::int32_t lineCount, bool boxEmpty,
                                std::string_view text);
