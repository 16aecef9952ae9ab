#include "settings/placeholders.h"

#include "base/text.h"

std::string expandFolderPlaceholders(std::string_view text, const KnownFolders& folders) {
  std::string result = replaceText(text, documentsPlaceholder, folders.documents, true);
  return replaceText(result, programFilesPlaceholder, folders.programFiles, true);
}

std::string collapseFolderPlaceholders(std::string_view text, const KnownFolders& folders) {
  std::string result = replaceText(text, folders.documents, documentsPlaceholder, true);
  return replaceText(result, folders.programFiles, programFilesPlaceholder, true);
}
