// Test helpers on real files (Windows build): a folder of the test's own that
// is removed with everything in it, and small file utilities.
#pragma once

#include <string>

class TempFolder {
 public:
  // Creates a new folder under the user's temporary folder.
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // The folder's path, ending with a backslash.
  const std::string& path() const { return path_; }
  // path() followed by the relative name.
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Writes the bytes to the file, creating the folders along the path. False
// on failure.
bool writeFile(const std::string& path, const std::string& bytes);
// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
bool makeFolders(const std::string& folderPath);
bool pathExists(const std::string& path);
bool isFolderPath(const std::string& path);
// Removes a file or a folder with everything in it.
void removeTree(const std::string& path);
