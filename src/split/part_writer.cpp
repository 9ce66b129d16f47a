#include "split/part_writer.h"

#include "split/path_ops.h"
#include "text/chars.h"

namespace pw {
namespace {

constexpr size_t kMaxNameChars = 100;

Text numberedStem(const Text& source) {
    return baseNameOf(source);
}
Text numberSuffix(int64_t partNumber) {
    return "_" + std::to_string(partNumber);
}

bool usableName(const Text& name) {
    return !name.empty() && name != "." && name != "..";
}

Text withExtension(const Text& name, const Text& extension) {
    return extension.empty() ? name : name + "." + extension;
}

bool isJobSource(FileSystem& fs, const SplitJobState& state, const Text& path) {
    auto id = fs.fileId(path);
    return id && state.jobSources.contains(*id);
}

bool writeContent(EngineContext& ctx, const SplitJobState& state, const Text& path) {
    SafeWriter out(ctx.files, path);
    const PartContent& part = state.partContent;
    if (part.source)
        out.copyFrom(*part.source, part.offset, part.length);
    else
        out.write(part.bytes);
    return out.commit();
}

}  // namespace

Text cleanFileName(std::string_view text) {
    static constexpr std::string_view kRefused = "\\/:*?|<>";
    Text out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t len = charLengthAt(text, pos);
        const char c = text[pos];
        if (len == 1 && kRefused.find(c) != std::string_view::npos) {
            out += '\xA3';
            out += char(static_cast<unsigned char>(c) + 0x80);
        } else if (!(len == 1 && (c == '"' || c == '\r' || c == '\n' || c == '\t')) &&
                   !(len == 2 && c == '\r')) {
            out.append(text.substr(pos, len));
        }
        pos += len;
    }
    return out;
}

Text fitPartName(FileSystem& fs, std::string_view stem, std::string_view suffix,
                 std::string_view extension) {
    const size_t suffixChars = countChars(suffix);
    Text cut = leftChars(stem, kMaxNameChars > suffixChars ? kMaxNameChars - suffixChars : 0);
    const Text tail = Text(suffix) + (extension.empty() ? "" : "." + Text(extension));
    while (!cut.empty() && fs.nativeNameBytes(cut + tail) > fs.maxNameBytes())
        cut = leftChars(cut, countChars(cut) - 1);
    return cut + Text(suffix);
}

bool writePart(EngineContext& ctx, SplitJobState& state, const Text& source) {
    const Text extension = extensionOf(source);
    Text name;

    if (!usableName(name)) {
        name =
            fitPartName(ctx.files, numberedStem(source), numberSuffix(state.partNumber), extension);
    }
    Text path = state.outputFolder + withExtension(name, extension);

    bool ok = !isJobSource(ctx.files, state, path) && writeContent(ctx, state, path);
    if (ok) {
        ++state.partsWritten;
        ++state.partsOfSource;
    } else {
        ++state.failedOutputs;
        state.sourceIntact = false;
    }
    ctx.form.setText("透明标签",
                     "[" + std::to_string(state.partNumber) + "] " + state.progressText);
    return ok;
}

}  // namespace pw
