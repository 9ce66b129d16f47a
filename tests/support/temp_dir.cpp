#include "support/temp_dir.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace pw::test {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "partwell-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

std::string TempDir::path(const std::string& name) const {
    return name.empty() ? root_ : root_ + "/" + name;
}

void writeFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool fileExists(const std::string& path) {
    return fs::exists(path);
}

namespace {

std::string joined(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

}  // namespace

std::string listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string() + (e.is_directory() ? "/" : ""));
    return joined(names);
}

std::string sortedNames(const std::string& names) {
    std::vector<std::string> split;
    for (size_t start = 0; start <= names.size();) {
        size_t end = names.find(' ', start);
        if (end == std::string::npos) end = names.size();
        split.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return joined(split);
}

}  // namespace pw::test
