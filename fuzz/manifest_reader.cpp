// The manifest reader against a plain model of its part lines: a manifest it takes lists exactly
// the parts the model reads, each a plain file name in the manifest's folder (also as the native
// name that is opened), the original's name too; one line naming anything else refuses it at or
// before that line. What it takes, written again, reads back with the same names, sizes and
// digests.
// Input: the manifest's bytes; the header line is put before them when they lack it.

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "files/manifest.h"
#include "fuzz_support.h"
#include "platform/native_names.h"

namespace {

using namespace pw;

constexpr std::string_view kHeader =
    "# Partwell checksum manifest; check the parts with: sha256sum -c <this file>\n";

struct ModelPart {
    size_t line;
    std::optional<std::string> name;  // nothing when the escapes make no sense
    std::string digest;
};

std::optional<std::string> modelUnescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
        } else if (i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == 'n' || s[i + 1] == 'r')) {
            out += s[i + 1] == '\\' ? '\\' : s[i + 1] == 'n' ? '\n' : '\r';
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// A name opened in the manifest's folder: one path element that is neither it nor its parent.
bool modelPlain(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '/' || c == '\0') return false;
    return true;
}

struct ModelLines {
    std::vector<ModelPart> parts;  // lines that are neither the header, blank nor "# " lines
    std::optional<std::string> source;
    size_t sourceLine = 0;
};

ModelLines modelLines(std::string_view content) {
    ModelLines m;
    size_t number = 0;
    for (size_t pos = 0; pos <= content.size();) {
        size_t end = content.find('\n', pos);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number == 1 || line.empty()) continue;
        if (line.substr(0, 10) == "# source: ") {
            m.source = modelUnescape(line.substr(10));
            m.sourceLine = number;
            continue;
        }
        if (line.substr(0, 2) == "# ") continue;
        const bool escapedLine = line[0] == '\\';
        if (escapedLine) line.remove_prefix(1);
        std::string_view name = line.size() > 66 ? line.substr(66) : std::string_view();
        m.parts.push_back({number,
                           escapedLine ? modelUnescape(name) : std::optional<std::string>(name),
                           std::string(line.substr(0, 64))});
    }
    return m;
}

size_t lineOf(const std::string& problem) {
    if (problem.rfind("line ", 0) != 0) return 0;
    return size_t(std::strtoull(problem.c_str() + 5, nullptr, 10));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(fuzz::asBytes(data, size));
    if (!looksLikeManifest(content)) content.insert(0, kHeader);
    std::string problem;
    const auto m = parseManifest(content, problem);
    const ModelLines model = modelLines(content);

    // A line naming something outside the folder is never passed over.
    size_t firstUnsafe = 0;
    for (const ModelPart& p : model.parts)
        if (p.name && !modelPlain(*p.name)) {
            firstUnsafe = p.line;
            break;
        }
    if (model.source && !modelPlain(*model.source) &&
        (!firstUnsafe || model.sourceLine < firstUnsafe))
        firstUnsafe = model.sourceLine;
    if (firstUnsafe) {
        FUZZ_EXPECT(!m, {"content", content});
        const size_t at = lineOf(problem);
        FUZZ_EXPECT(at > 0 && at <= firstUnsafe, {"content", content}, {"problem", problem});
    }
    if (!m) {
        FUZZ_EXPECT(!problem.empty(), {"content", content});
        return 0;
    }

    FUZZ_EXPECT(m->parts.size() == model.parts.size(), {"content", content});
    for (size_t i = 0; i < m->parts.size(); ++i) {
        const std::string native = toNativeName(m->parts[i].name);
        FUZZ_EXPECT(model.parts[i].name && native == *model.parts[i].name, {"content", content},
                    {"read", native});
        FUZZ_EXPECT(modelPlain(native), {"content", content}, {"name", native});
        FUZZ_EXPECT(m->parts[i].sha256 == model.parts[i].digest, {"content", content});
    }
    const std::string source = toNativeName(m->sourceName);
    FUZZ_EXPECT(modelPlain(source), {"content", content}, {"source", source});

    // Written again, it reads back the same.
    const std::string again = formatManifest(*m);
    std::string why;
    const auto back = parseManifest(again, why);
    FUZZ_EXPECT(back.has_value(), {"content", content}, {"again", again}, {"problem", why});
    FUZZ_EXPECT(back->sourceName == m->sourceName && back->parts.size() == m->parts.size(),
                {"again", again});
    for (size_t i = 0; i < m->parts.size(); ++i)
        FUZZ_EXPECT(back->parts[i].name == m->parts[i].name &&
                        back->parts[i].size == m->parts[i].size &&
                        back->parts[i].sha256 == m->parts[i].sha256,
                    {"again", again});
    return 0;
}
