#include "split/split_by_bytes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "files/path_ops.h"
#include "split/part_writer.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr int kDefaultUnit = 3;  // GB, the unit the box starts with
// Larger sizes than any file can have; keeps the arithmetic clear of overflow.
constexpr double kMaxPartSize = 9.0e18;

// Clamped at both ends before the cast: a negative, huge or NaN value has no integer form.
int64_t toWholeBytes(double value) {
    if (!(value > 0)) return 0;
    return int64_t(std::trunc(std::min(value, kMaxPartSize)));
}

std::unique_ptr<FileHandle> openSource(SplitContext& ctx, SplitJobState& state, const Text& source,
                                       int64_t& length) {
    auto file = ctx.files.open(source, OpenMode::Read);
    length = file ? file->length() : -1;
    if (length >= 0) return file;
    state.markUnreadable(file ? file->error() : ctx.files.lastError());
    return nullptr;
}

// Bytes of part k (from 1) of n: parts 1 .. n-1 take `size` bytes (fewer at the end of the
// file), part n takes the rest.
int64_t partBytes(int64_t k, int64_t n, int64_t position, int64_t length, int64_t size) {
    return k == n ? length - position : std::min(size, length - position);
}

// Recovery files asked for over parts named by their numbers: every part's name, place and size
// are known now, so the recovery sums are taken as the parts are written.
void planRecoveryPass(SplitContext& ctx, SplitJobState& state, FileHandle& file, int64_t length,
                      int64_t size, int64_t n) {
    if (!ctx.options.recovery().wanted() || ctx.options.countsOnly() || !state.run.recording ||
        namesPartsAfterText(ctx.options) || length <= 0 || n < 1)
        return;
    std::vector<RecoveryPass::Part> parts;
    int64_t position = 0;
    for (int64_t k = 1; k <= n; ++k) {
        state.run.partNumber = k;
        const int64_t take = partBytes(k, n, position, length, size);
        parts.push_back({fileNameOf(plainPartPath(ctx, state)), position, take});
        position += take;
    }
    state.run.recoveryPass = RecoveryPass::plan(file, std::move(parts), ctx.options.recovery());
    // The source's digests are taken beside the recovery sums, off the thread that writes.
    if (state.run.recoveryPass)
        state.run.recoveryPass->alsoSum(state.run.recording->wholeHash(),
                                        state.run.recording->wholeCrc());
}

void runPartLoop(SplitContext& ctx, SplitJobState& state, FileHandle& file, int64_t length,
                 int64_t size, int64_t n) {
    int64_t position = 0;
    state.run.partCount = n;
    planRecoveryPass(ctx, state, file, length, size, n);
    for (int64_t k = 1; k <= n; ++k) {
        state.run.partNumber = k;
        const int64_t take = partBytes(k, n, position, length, size);
        PartContent part;
        part.setRange(file, position, take);
        position += take;
        if (state.run.recoveryPass)
            state.run.recoveryFeed = state.run.recoveryPass->beginPart(size_t(k - 1));
        writePart(ctx, state, part);
        if (state.run.recoveryPass) state.run.recoveryPass->endPart();
        state.run.recoveryFeed = nullptr;
        ctx.host.processEvents();
        if (ctx.stopRequested) break;
    }
    if (position < length || n < 1) state.run.sourceIntact = false;
}

}  // namespace

int64_t partCountForQuotient(float q) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, double(q), std::chars_format::general, 6);
    const std::string_view printed(buffer, size_t(result.ptr - buffer));
    const double whole = printed.find('.') != std::string_view::npos ? double(q) + 1 : double(q);
    return toWholeBytes(whole);
}

int64_t partSizeBytes(float number, int unitIndex) {
    if (unitIndex < 0 || unitIndex > 3) unitIndex = kDefaultUnit;
    return toWholeBytes(double(number) * std::pow(1024.0, unitIndex));
}

namespace {

// The size mode's part count. A preset is a real limit: no part may pass it, so the count is
// the exact quotient rounded up rather than the size box's printed quotient.
int64_t sizeModePartCount(const SplitOptions& options, int64_t length, int64_t size) {
    if (length > 0 && length <= size) return 1;
    if (options.presetPartSize() > 0) return (length + size - 1) / size;
    // A quotient below 1e-4 prints in exponent form without a "."; one part still holds it all.
    return partCountForQuotient(float(double(length) / double(size)));
}

}  // namespace

int64_t partSizeOf(const SplitOptions& options) {
    if (const int64_t preset = options.presetPartSize(); preset > 0) return preset;
    return partSizeBytes(options.partSizeNumber(), options.partSizeUnit());
}

// As splitByCount and splitBySize cut: the count mode's last part takes the rest.
int64_t largestPart(const SplitOptions& options, int64_t length, int64_t blockSize) {
    if (length <= 0) return 0;
    if (options.mode() == SplitMode::Bytes) {
        const int64_t size = partSizeOf(options);
        if (size < 1) return 0;
        // The last part takes the rest, which the printed quotient may leave above the size.
        const int64_t n = sizeModePartCount(options, length, size);
        return n < 1 ? 0 : std::max(std::min(size, length), length - (n - 1) * size);
    }
    if (options.mode() != SplitMode::Parts) return 0;
    const int64_t count = options.partCount();
    if (count <= 0) return 0;
    int64_t size = length / count;
    if (options.alignToBlocks() && blockSize > 1) {
        size = (std::max<int64_t>(size, 1) + blockSize - 1) / blockSize * blockSize;
        const int64_t n = std::min<int64_t>(count, (length + size - 1) / size);
        return std::max(size, length - (n - 1) * size);
    }
    return std::max(size, length - (count - 1) * size);
}

ModeResult refuseTooManyParts(SplitContext& ctx, SplitMode mode, const std::vector<Text>& files) {
    if (mode == SplitMode::Parts) {
        if (ctx.options.partCount() <= kMaxPartsPerFile) return ModeResult::Done;
        return refuseOption(ctx, texts::kTooManyParts, SplitOptionBox::PartCount);
    }
    if (mode != SplitMode::Bytes) return ModeResult::Done;
    const int64_t size = partSizeOf(ctx.options);
    if (size < 1) return ModeResult::Done;  // refused as unusable when the job starts
    for (const Text& f : files) {
        auto file = ctx.files.open(f, OpenMode::Read);
        const int64_t length = file ? file->length() : -1;
        if (length > size &&
            partCountForQuotient(float(double(length) / double(size))) > kMaxPartsPerFile)
            return refuseOption(ctx, texts::kTooManyParts, SplitOptionBox::PartSize);
    }
    return ModeResult::Done;
}

ModeResult splitByCount(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const int32_t count = ctx.options.partCount();
    if (count <= 0)
        return refuseOption(ctx, texts::kPartCountMustBePositive, SplitOptionBox::PartCount);

    int64_t length = 0;
    auto file = openSource(ctx, state, source, length);
    if (!file) return ModeResult::Done;
    int64_t size = length / count;
    int64_t n = count;
    const int64_t block = ctx.options.alignToBlocks() ? ctx.files.blockSize(source) : 0;
    if (block > 1 && length > 0) {
        // Whole blocks in every part but the last, which takes the rest: fewer parts may result.
        size = (std::max<int64_t>(size, 1) + block - 1) / block * block;
        n = std::min<int64_t>(count, (length + size - 1) / size);
    }
    runPartLoop(ctx, state, *file, length, size, n);
    return ModeResult::Done;
}

ModeResult splitBySize(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const float number = ctx.options.partSizeNumber();
    // A size below one byte (0.5 B, a negative number) is as unusable as 0.
    if (ctx.options.presetPartSize() <= 0 &&
        (!(std::fabs(double(number)) > 1e-7) ||
         partSizeBytes(number, ctx.options.partSizeUnit()) < 1))
        return refuseOption(ctx, texts::kByteLengthNotZero, SplitOptionBox::PartSize);

    int64_t length = 0;
    auto file = openSource(ctx, state, source, length);
    if (!file) return ModeResult::Done;
    const int64_t size = partSizeOf(ctx.options);
    if (size < 1) return refuseOption(ctx, texts::kByteLengthNotZero, SplitOptionBox::PartSize);
    const int64_t n = sizeModePartCount(ctx.options, length, size);
    runPartLoop(ctx, state, *file, length, size, n);
    return ModeResult::Done;
}

}  // namespace pw
