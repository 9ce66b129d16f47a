#include "merge/par2_repair.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/gf16.h"
#include "platform/md5_pair.h"
#include "platform/two_halves.h"

namespace pw {
namespace {

using par2::RecoverySet;

constexpr size_t kAlign = 64;
// Below this a second thread costs more than it saves.
constexpr size_t kTwoThreadBytes = size_t{256} << 10;

struct FreeAligned {
    void operator()(unsigned char* p) const { std::free(p); }
};
using AlignedBytes = std::unique_ptr<unsigned char[], FreeAligned>;

AlignedBytes alignedBytes(uint64_t size) {
    const uint64_t rounded = (std::max<uint64_t>(size, 1) + kAlign - 1) / kAlign * kAlign;
    auto* p = static_cast<unsigned char*>(std::aligned_alloc(kAlign, static_cast<size_t>(rounded)));
    if (!p) throw std::bad_alloc();
    return AlignedBytes(p);
}

Text inFolder(const Text& folder, const Text& name) {
    return folder.empty() || folder.back() == kPathSeparator ? folder + name
                                                             : folder + kPathSeparator + name;
}

// Reads up to `size` bytes at `offset`; the count read (short at the end of the file), -1 on error.
int64_t readAt(FileHandle& f, uint64_t offset, void* into, size_t size) {
    if (!f.seek(static_cast<int64_t>(offset))) return -1;
    size_t got = 0;
    while (got < size) {
        const int64_t n = f.read(static_cast<char*>(into) + got, size - got);
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(got);
}

uint64_t sliceLength(const par2::FileDescription& f, uint64_t sliceSize, uint64_t k) {
    return std::min(sliceSize, f.length - k * sliceSize);
}

// Which slices of one file hold what the set records; the file is whole only with its length and
// MD5 right too. The file's MD5 and its slices' go side by side, in one pass.
RecoveryFileState checkSlices(FileHandle* file, const par2::FileDescription& desc,
                              const std::vector<par2::SliceChecksum>& sums, uint64_t sliceSize,
                              std::vector<bool>& good, const StopFlag& stop) {
    good.assign(sums.size(), false);
    if (!file) return RecoveryFileState::Missing;
    const int64_t length = file->length();
    std::string buffer(static_cast<size_t>(std::min<uint64_t>(sliceSize, 1 << 20)), '\0');
    static const std::string zeros(1 << 16, '\0');
    Md5Pair md5s;  // first: the whole file; second: the slice
    bool allGood = length >= 0 && static_cast<uint64_t>(length) == desc.length;
    for (uint64_t k = 0; k < sums.size() && !stop; ++k) {
        const uint64_t want = sliceLength(desc, sliceSize, k);
        uint32_t crc = 0;
        uint64_t done = 0;
        while (done < want) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), want - done));
            const int64_t got = readAt(*file, k * sliceSize + done, buffer.data(), n);
            if (got <= 0) break;
            md5s.update(buffer.data(), static_cast<size_t>(got));
            crc = crc32Update(crc, buffer.data(), static_cast<size_t>(got));
            done += static_cast<uint64_t>(got);
        }
        if (done == want) {
            for (uint64_t pad = sliceSize - want; pad > 0;) {
                const size_t n = static_cast<size_t>(std::min<uint64_t>(pad, zeros.size()));
                md5s.updateSecond(zeros.data(), n);
                crc = crc32Update(crc, zeros.data(), n);
                pad -= n;
            }
            good[k] = crc == sums[k].crc32 && md5s.finishSecond() == sums[k].md5;
        } else {
            (void)md5s.finishSecond();  // the next slice's MD5 starts afresh
        }
        allGood = allGood && good[k];
    }
    if (allGood && !stop && md5s.finishFirst() == desc.md5) return RecoveryFileState::Ok;
    return RecoveryFileState::Damaged;
}

std::unique_ptr<FileHandle> openToCheck(FileSystem& fs, const Text& path) {
    return fs.isFolder(path) ? nullptr : fs.open(path, OpenMode::Read);
}

// Inverts a square matrix over GF(2^16) in place; false when it is singular.
bool invert(std::vector<uint16_t>& a, size_t n) {
    std::vector<uint16_t> inv(n * n, 0);
    for (size_t i = 0; i < n; ++i) inv[i * n + i] = 1;
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        while (pivot < n && a[pivot * n + col] == 0) ++pivot;
        if (pivot == n) return false;
        if (pivot != col)
            for (size_t j = 0; j < n; ++j) {
                std::swap(a[pivot * n + j], a[col * n + j]);
                std::swap(inv[pivot * n + j], inv[col * n + j]);
            }
        const uint16_t scale = gf16::inverse(a[col * n + col]);
        for (size_t j = 0; j < n; ++j) {
            a[col * n + j] = gf16::multiply(a[col * n + j], scale);
            inv[col * n + j] = gf16::multiply(inv[col * n + j], scale);
        }
        for (size_t row = 0; row < n; ++row) {
            const uint16_t f = a[row * n + col];
            if (row == col || f == 0) continue;
            for (size_t j = 0; j < n; ++j) {
                a[row * n + j] ^= gf16::multiply(f, a[col * n + j]);
                inv[row * n + j] ^= gf16::multiply(f, inv[col * n + j]);
            }
        }
    }
    a = std::move(inv);
    return true;
}

struct BadSlice {
    size_t file;
    uint64_t slice;
    uint32_t index;  // in the set
};

// One repair: the bad slices, the inverse of their part of the code's matrix, and the files
// being rebuilt, each in its temporary file.
class Rebuild {
  public:
    Rebuild(FileSystem& fs, const Text& folder, const RecoverySet& set, const RecoveryCheck& check,
            RepairOutcome& out)
        : fs_(fs),
          folder_(folder),
          set_(set),
          check_(check),
          out_(out),
          constants_(par2::sliceConstants(set.inputSlices)),
          firstSlice_(set.files.size()),
          outputOf_(set.files.size(), SIZE_MAX) {
        for (size_t i = 0, g = 0; i < set.files.size(); g += set.checksums[i].size(), ++i) {
            firstSlice_[i] = static_cast<uint32_t>(g);
            for (uint64_t k = 0; k < set.checksums[i].size(); ++k)
                if (!check.goodSlices[i][k]) bad_.push_back({i, k, static_cast<uint32_t>(g + k)});
        }
    }

    size_t badSlices() const { return bad_.size(); }

    // Rows: the first n recovery slices; columns: the bad slices' constants to those powers.
    bool solve() {
        const size_t n = bad_.size();
        matrix_.resize(n * n);
        for (size_t j = 0; j < n; ++j)
            for (size_t m = 0; m < n; ++m)
                matrix_[j * n + m] =
                    gf16::power(constants_[bad_[m].index], set_.recovery[j].exponent);
        return invert(matrix_, n);
    }

    // The rebuilt files start as their good slices with zeros in place of the bad ones.
    bool startOutputs() {
        const uint64_t S = set_.sliceSize;
        const std::string zeros(static_cast<size_t>(std::min<uint64_t>(S, 1 << 20)), '\0');
        for (size_t i = 0; i < set_.files.size(); ++i) {
            if (check_.states[i] == RecoveryFileState::Ok) continue;
            const Text path = pathOf(i);
            Output o{i, std::make_unique<SafeWriter>(fs_, path), nullptr};
            auto existing = fs_.open(path, OpenMode::Read);
            for (uint64_t k = 0; k < set_.checksums[i].size(); ++k) {
                const uint64_t len = sliceLength(set_.files[i], S, k);
                if (check_.goodSlices[i][k] && existing) {
                    (void)o.writer->copyFrom(*existing, static_cast<int64_t>(k * S),
                                             static_cast<int64_t>(len));
                    continue;
                }
                for (uint64_t done = 0; done < len; done += zeros.size())
                    (void)o.writer->write(std::string_view(zeros).substr(
                        0, static_cast<size_t>(std::min<uint64_t>(zeros.size(), len - done))));
            }
            if (!o.writer->ok()) return failWrite(path, o.writer->error());
            o.handle = fs_.open(o.writer->temporaryPath(), OpenMode::ReadWrite);
            if (!o.handle) return failWrite(path, fs_.lastError());
            outputOf_[i] = outputs_.size();
            outputs_.push_back(std::move(o));
        }
        return true;
    }

    // A range of every slice at a time, within `memory`: the sums of the recovery slices less
    // the good slices' shares, then the bad slices from those sums.
    bool rebuildRanges(uint64_t memory, const StopFlag& stop) {
        const uint64_t S = set_.sliceSize;
        const size_t n = bad_.size();
        const uint64_t range =
            std::min(S, std::max<uint64_t>(kAlign, memory / (2 * n + 1) / kAlign * kAlign));
        stride_ = (range + kAlign - 1) / kAlign * kAlign;
        sums_ = alignedBytes(stride_ * n);
        rebuilt_ = alignedBytes(stride_ * n);
        input_ = alignedBytes(stride_);
        for (uint64_t at = 0; at < S; at += range) {
            if (stop) return false;
            const uint64_t length = std::min(range, S - at);
            if (!readRecovery(at, length) || !subtractGoodSlices(at, length, stop) ||
                !writeBadSlices(at, length))
                return false;
        }
        return true;
    }

    // Each file takes its name only when it is exactly the recorded one.
    void finish(const StopFlag& stop) {
        for (Output& o : outputs_) {
            if (!o.handle->close()) {
                failWrite(pathOf(o.file), o.handle->error());
                return;
            }
            std::vector<bool> good;
            const auto written = openToCheck(fs_, o.writer->temporaryPath());
            if (checkSlices(written.get(), set_.files[o.file], set_.checksums[o.file],
                            set_.sliceSize, good, stop) != RecoveryFileState::Ok) {
                out_.mismatched.push_back(set_.names[o.file]);
                return;
            }
        }
        for (Output& o : outputs_) {
            if (!o.writer->commit()) {
                failWrite(pathOf(o.file), o.writer->error());
                return;
            }
            out_.rebuilt.push_back(set_.names[o.file]);
        }
    }

  private:
    struct Output {
        size_t file;
        std::unique_ptr<SafeWriter> writer;
        std::unique_ptr<FileHandle> handle;
    };

    Text pathOf(size_t file) const { return inFolder(folder_, set_.names[file]); }

    bool failWrite(const Text& path, std::error_code reason) {
        out_.failures.push_back({FailureKind::Write, path, reason ? reason : errnoCode(EIO)});
        return false;
    }

    bool failRead(const Text& path, std::error_code reason) {
        out_.failures.push_back({FailureKind::Read, path, reason ? reason : errnoCode(EIO)});
        return false;
    }

    bool readRecovery(uint64_t at, uint64_t length) {
        for (size_t j = 0; j < bad_.size(); ++j) {
            const par2::RecoverySliceRef& ref = set_.recovery[j];
            auto f = fs_.open(ref.file, OpenMode::Read);
            if (!f || readAt(*f, static_cast<uint64_t>(ref.offset) + at, sums_.get() + j * stride_,
                             static_cast<size_t>(length)) != static_cast<int64_t>(length))
                return failRead(ref.file, f ? f->error() : fs_.lastError());
        }
        return true;
    }

    bool subtractGoodSlices(uint64_t at, uint64_t length, const StopFlag& stop) {
        const uint64_t S = set_.sliceSize;
        for (size_t i = 0; i < set_.files.size() && !stop; ++i) {
            std::unique_ptr<FileHandle> f;
            for (uint64_t k = 0; k < set_.checksums[i].size(); ++k) {
                const uint64_t len = sliceLength(set_.files[i], S, k);
                if (!check_.goodSlices[i][k] || at >= len) continue;
                const uint64_t have = std::min(length, len - at);
                if (!f) f = fs_.open(pathOf(i), OpenMode::Read);
                std::memset(input_.get(), 0, static_cast<size_t>(stride_));
                if (!f || readAt(*f, k * S + at, input_.get(), static_cast<size_t>(have)) !=
                              static_cast<int64_t>(have))
                    return failRead(pathOf(i), f ? f->error() : fs_.lastError());
                const uint16_t c = constants_[firstSlice_[i] + k];
                const size_t bytes = static_cast<size_t>((have + 1) / 2 * 2);
                onTwoThreads(bad_.size(), bytes >= kTwoThreadBytes, [&](size_t first, size_t end) {
                    for (size_t j = first; j < end; ++j)
                        gf16::multiplyAdd(sums_.get() + j * stride_, input_.get(), bytes,
                                          gf16::power(c, set_.recovery[j].exponent));
                });
            }
        }
        return true;
    }

    bool writeBadSlices(uint64_t at, uint64_t length) {
        const size_t n = bad_.size();
        std::memset(rebuilt_.get(), 0, static_cast<size_t>(stride_ * n));
        onTwoThreads(n, length >= kTwoThreadBytes, [&](size_t first, size_t end) {
            for (size_t m = first; m < end; ++m)
                for (size_t j = 0; j < n; ++j)
                    gf16::multiplyAdd(rebuilt_.get() + m * stride_, sums_.get() + j * stride_,
                                      static_cast<size_t>(length), matrix_[m * n + j]);
        });
        for (size_t m = 0; m < n; ++m) {
            const BadSlice& b = bad_[m];
            const uint64_t len = sliceLength(set_.files[b.file], set_.sliceSize, b.slice);
            if (at >= len) continue;
            Output& o = outputs_[outputOf_[b.file]];
            if (!o.handle->seek(static_cast<int64_t>(b.slice * set_.sliceSize + at)) ||
                !o.handle->write(rebuilt_.get() + m * stride_,
                                 static_cast<size_t>(std::min(length, len - at))))
                return failWrite(pathOf(b.file), o.handle->error());
        }
        return true;
    }

    FileSystem& fs_;
    const Text& folder_;
    const RecoverySet& set_;
    const RecoveryCheck& check_;
    RepairOutcome& out_;
    std::vector<uint16_t> constants_;
    std::vector<uint32_t> firstSlice_;
    std::vector<BadSlice> bad_;
    std::vector<uint16_t> matrix_;
    std::vector<Output> outputs_;
    std::vector<size_t> outputOf_;
    uint64_t stride_ = 0;
    AlignedBytes sums_, rebuilt_, input_;
};

}  // namespace

RecoveryCheck checkRecoverySet(FileSystem& fs, const Text& folder, const RecoverySet& set,
                               const StopFlag& stop) {
    RecoveryCheck check;
    const size_t count = set.files.size();
    check.goodSlices.resize(count);
    check.states.resize(count);
    // Two checkers take the files in turn; the file system is asked one at a time (it keeps the
    // last failure's reason), the reading and summing go side by side.
    std::atomic<size_t> next = 0;
    std::mutex opening;
    const auto checkFiles = [&] {
        for (size_t i; (i = next++) < count;) {
            std::unique_ptr<FileHandle> file;
            {
                const std::lock_guard<std::mutex> guard(opening);
                file = openToCheck(fs, inFolder(folder, set.names[i]));
            }
            check.states[i] = checkSlices(file.get(), set.files[i], set.checksums[i], set.sliceSize,
                                          check.goodSlices[i], stop);
        }
    };
    onTwoThreads(2, count > 1, [&](size_t, size_t) { checkFiles(); });
    for (const auto& good : check.goodSlices)
        for (bool g : good) check.badSlices += !g;
    check.recoverySlices = static_cast<uint32_t>(set.recovery.size());
    return check;
}

RepairOutcome repairRecoverySet(FileSystem& fs, const Text& folder, const RecoverySet& set,
                                const RecoveryCheck& check, const StopFlag& stop, uint64_t memory) {
    RepairOutcome out;
    Rebuild rebuild(fs, folder, set, check, out);
    const size_t n = rebuild.badSlices();
    if (n == 0 || n > set.recovery.size()) return out;
    if (!rebuild.solve()) {
        out.singular = true;
        return out;
    }
    if (rebuild.startOutputs() && rebuild.rebuildRanges(memory, stop)) rebuild.finish(stop);
    out.stopped = stop != 0 && out.rebuilt.empty();
    return out;
}

}  // namespace pw
