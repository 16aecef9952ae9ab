#include "archive/file_list.h"

#include <algorithm>

#include "platform/folders.h"

std::vector<FileListEntry> fileList;
std::vector<std::string> unlistedFolders;

namespace {

// The folders from the starting one down to the one being listed.
using Ancestors = std::vector<FolderIdentity>;

void walkFolder(std::string folder, const std::string& pattern, int recursion,
                Ancestors& ancestors) {
  std::string search = folder;
  if (search.empty() || search.back() != '\\') search += '\\';
  FolderListing listing(search + "*.*");
  if (!listing.isOpen()) {
    // Skipped without a message, but remembered so that a report can say
    // what the archive lacks.
    if (listing.failed()) unlistedFolders.push_back(search);
    return;
  }
  folder = std::move(search);

  FolderEntry entry;
  while (listing.next(entry)) {
    if (entry.isFolder) {
      if (entry.name == "." || entry.name == ".." || recursion != 1) continue;
      std::string subfolder = folder + entry.name;
      FolderIdentity identity;
      bool known = folderIdentityOf(subfolder, identity);
      // A link back to a folder on the way down would be walked forever.
      if (known && std::find(ancestors.begin(), ancestors.end(), identity) != ancestors.end()) {
        continue;
      }
      if (known) ancestors.push_back(identity);
      walkFolder(subfolder, pattern, recursion, ancestors);
      if (known) ancestors.pop_back();
    } else if (nameMatchesPattern(entry.name, pattern)) {
      fileList.push_back({folder + entry.name});
    }
  }
}

}  // namespace

void buildFileList(const std::string& folder, const std::string& pattern, int recursion) {
  unlistedFolders.clear();
  Ancestors ancestors;
  FolderIdentity identity;
  if (folderIdentityOf(folder, identity)) ancestors.push_back(identity);
  walkFolder(folder, pattern, recursion, ancestors);
}
