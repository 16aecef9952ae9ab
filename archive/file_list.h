// The list of files that one archive pass stores, built by walking the
// source folder. Windows build only. Runs on the archiving worker thread.
#pragma once

#include <string>
#include <vector>

struct FileListEntry {
  std::string path;  // folder path, backslash, the name as the listing reports it
};

// The archiver's list, in the order the walk met the files. Touched by the
// worker during a pass and by the main thread only at the end of the process.
extern std::vector<FileListEntry> fileList;

// The folders of the last walk that could not be listed (path too long,
// access denied), each ending with a backslash, in walk order, with the
// number of files listed before each. Same thread rules as fileList.
struct UnlistedFolder {
  std::string path;
  std::size_t filesBefore = 0;
};
extern std::vector<UnlistedFolder> unlistedFolders;

// Appends every file under `folder` whose bare name matches `pattern` to
// fileList: depth first, pre-order, each folder in the file system's order.
// "." and ".." are skipped, folders are never entries, a folder that cannot
// be listed contributes nothing, and a folder link (a reparse point) whose
// identity is that of one of the folders being walked is not entered again.
// Recursion setting 1 walks subfolders (the only value used). Reports
// nothing.
void buildFileList(const std::string& folder, const std::string& pattern, int recursion);

// Tests only: the query that tells a folder's identity (nullptr: the
// system's). Set it from the thread that walks, between walks.
struct FileIdentity;
void setFileIdentityQueryForTests(bool (*query)(const std::string&, FileIdentity&));
