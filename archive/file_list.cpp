#include "archive/file_list.h"

#include "platform/folders.h"

std::vector<FileListEntry> fileList;
std::vector<UnlistedFolder> unlistedFolders;

namespace {

bool (*identityQuery)(const std::string&, FileIdentity&) = fileIdentityOf;

// A folder on the way down from the starting one, with its identity asked
// for only when a link has to be compared with it.
struct Ancestor {
  std::string path;
  bool asked = false;
  bool known = false;
  FileIdentity identity;
};
using Ancestors = std::vector<Ancestor>;

bool sameFolder(Ancestor& ancestor, const FileIdentity& identity) {
  if (!ancestor.asked) {
    ancestor.known = identityQuery(ancestor.path, ancestor.identity);
    ancestor.asked = true;
  }
  return ancestor.known && ancestor.identity == identity;
}

// A link back into a folder on the way down would be walked forever. Only
// links are compared: identities are not unique on every file system, and
// an ordinary folder is never its own ancestor.
bool leadsBackUp(const std::string& link, Ancestors& ancestors) {
  FileIdentity identity;
  if (!identityQuery(link, identity)) return false;
  for (Ancestor& ancestor : ancestors) {
    if (sameFolder(ancestor, identity)) return true;
  }
  return false;
}

void walkFolder(std::string folder, const std::string& pattern, int recursion,
                Ancestors& ancestors) {
  std::string search = folder;
  if (search.empty() || search.back() != '\\') search += '\\';
  FolderListing listing(search + "*.*");
  if (!listing.isOpen()) {
    // Skipped without a message, but remembered so that a report can say
    // what the archive lacks.
    if (listing.failed()) unlistedFolders.push_back({search, fileList.size()});
    return;
  }
  folder = std::move(search);

  FolderEntry entry;
  while (listing.next(entry)) {
    if (entry.isFolder) {
      if (entry.name == "." || entry.name == ".." || recursion != 1) continue;
      std::string subfolder = folder + entry.name;
      if (entry.isLink && leadsBackUp(subfolder, ancestors)) continue;
      ancestors.push_back(Ancestor{subfolder, false, false, {}});
      walkFolder(subfolder, pattern, recursion, ancestors);
      ancestors.pop_back();
    } else if (nameMatchesPattern(entry.name, pattern)) {
      fileList.push_back({folder + entry.name});
    }
  }
}

}  // namespace

void buildFileList(const std::string& folder, const std::string& pattern, int recursion) {
  unlistedFolders.clear();
  Ancestors ancestors{Ancestor{folder, false, false, {}}};
  walkFolder(folder, pattern, recursion, ancestors);
}

void setFileIdentityQueryForTests(bool (*query)(const std::string&, FileIdentity&)) {
  identityQuery = query ? query : fileIdentityOf;
}
