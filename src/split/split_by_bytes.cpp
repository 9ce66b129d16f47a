#include "split/split_by_bytes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

// Parts 1 .. n-1 take `size` bytes (fewer at the end of the file), part n takes the rest.
void runPartLoop(SplitContext& ctx, SplitJobState& state, FileHandle& file, int64_t length,
                 int64_t size, int64_t n) {
    int64_t position = 0;
    for (int64_t k = 1; k <= n; ++k) {
        state.partNumber = k;
        const int64_t take = k == n ? length - position : std::min(size, length - position);
        state.partContent.setRange(file, position, take);
        position += take;
        writePart(ctx, state);
        ctx.host.processEvents();
        if (ctx.stopRequested) break;
    }
    if (position < length || n < 1) state.sourceIntact = false;
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

ModeResult refuseTooManyParts(SplitContext& ctx, SplitMode mode, const std::vector<Text>& files) {
    if (mode == SplitMode::Parts) {
        if (ctx.options.partCount() <= kMaxPartsPerFile) return ModeResult::Done;
        return refuseOption(ctx, texts::kTooManyParts, SplitOptionBox::PartCount);
    }
    if (mode != SplitMode::Bytes) return ModeResult::Done;
    const int64_t size = partSizeBytes(ctx.options.partSizeNumber(), ctx.options.partSizeUnit());
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
    if (!(std::fabs(double(number)) > 1e-7) ||
        partSizeBytes(number, ctx.options.partSizeUnit()) < 1)
        return refuseOption(ctx, texts::kByteLengthNotZero, SplitOptionBox::PartSize);

    int64_t length = 0;
    auto file = openSource(ctx, state, source, length);
    if (!file) return ModeResult::Done;
    const int64_t size = partSizeBytes(ctx.options.partSizeNumber(), ctx.options.partSizeUnit());
    if (size < 1) return refuseOption(ctx, texts::kByteLengthNotZero, SplitOptionBox::PartSize);
    // A quotient below 1e-4 prints in exponent form without a "."; one part still holds it all.
    const int64_t n = length > 0 && length <= size
                          ? 1
                          : partCountForQuotient(float(double(length) / double(size)));
    runPartLoop(ctx, state, *file, length, size, n);
    return ModeResult::Done;
}

}  // namespace pw
