// The placeholder operations with the folders of the user who runs the
// program.
#include "platform/shell.h"
#include "settings/placeholders.h"

namespace {

KnownFolders knownFoldersNow() {
  return {specialFolderPath(shellFolderDocuments), specialFolderPath(shellFolderProgramFiles)};
}

}  // namespace

std::string expandFolderPlaceholders(std::string_view text) {
  return expandFolderPlaceholders(text, knownFoldersNow());
}

std::string collapseFolderPlaceholders(std::string_view text) {
  return collapseFolderPlaceholders(text, knownFoldersNow());
}
