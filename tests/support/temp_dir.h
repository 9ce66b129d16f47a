#pragma once
// A fresh folder under /tmp for one test, removed afterwards, and small file helpers.

#include <string>

namespace pw::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Native (UTF-8) path of a name inside the folder.
    std::string path(const std::string& name = "") const;

  private:
    std::string root_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// Names in a folder, sorted; folders end in "/".
std::string listing(const std::string& folder);
// Space-separated names in the order listing() gives them, for names whose order depends on
// values only known at run time (process numbers).
std::string sortedNames(const std::string& names);

}  // namespace pw::test
