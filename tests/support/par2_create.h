#pragma once
// Recovery files over existing files, through the builder as a split will feed it: each file's
// bytes in pieces of awkward sizes. Header-only: only the tests that link the files layer use it.

#include <optional>
#include <string>
#include <vector>

#include "files/par2_builder.h"
#include "platform/native_names.h"

namespace pw::test {

// Writes "<base>.par2" and its volumes beside the files (native names, one folder); the paths
// written, or nothing when the builder failed. `memory` below the slices' size forces ranges.
inline std::optional<std::vector<Text>> createRecovery(const std::string& folder,
                                                       const std::vector<std::string>& names,
                                                       const std::string& base, uint64_t sliceSize,
                                                       uint32_t count,
                                                       uint64_t memory = par2::kRecoveryMemory,
                                                       size_t piece = 1000) {
    FileSystem& fs = posixFileSystem();
    std::vector<par2::InputFile> inputs;
    std::vector<Text> paths;
    for (const std::string& name : names) {
        paths.push_back(fromNativeName(folder + "/" + name));
        const auto head = par2::headMd5Of(fs, paths.back());
        auto f = fs.open(paths.back(), OpenMode::Read);
        if (!head || !f) return std::nullopt;
        inputs.push_back({name, static_cast<uint64_t>(f->length()), *head});
    }
    par2::RecoveryBuilder builder(sliceSize, count, inputs, memory);
    for (size_t i = 0; i < paths.size(); ++i) {
        auto f = fs.open(paths[i], OpenMode::Read);
        builder.beginFile(i);
        std::string buffer(piece, '\0');
        for (int64_t n; (n = f->read(buffer.data(), buffer.size())) > 0;)
            builder.feed(buffer.data(), static_cast<size_t>(n));
        if (!builder.endFile()) return std::nullopt;
    }
    const auto read = [&](size_t i, uint64_t offset, void* into, size_t size) {
        auto f = fs.open(paths[i], OpenMode::Read);
        return f && f->seek(static_cast<int64_t>(offset)) &&
               f->read(into, size) == static_cast<int64_t>(size);
    };
    std::vector<Text> written;
    Failure failure{};
    if (!builder.write(fs, fromNativeName(folder), fromNativeName(base), read, written, failure))
        return std::nullopt;
    return written;
}

}  // namespace pw::test
