// The settings store on a fuzzed file, against the file taken as a list of lines: a section is
// the first line that starts with its "[name]"; its entries are the lines below up to the next
// whole "[...]" line; a value is the rest of its "key=" line. After every operation the memory
// copy, the file on disk and a fresh store opened on it must agree with the model, and each
// typed value must read back as written.
// Input: one byte (the number of operations), then per operation one byte (its kind and flags)
// and three fields (section, key, value); the rest is the file.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "fuzz_support.h"
#include "settings/settings_store.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace {

using namespace pw;

constexpr std::string_view kBreak = "\r\n";

// Names and values are single-line: a line break inside one would make a line of its own.
Text oneLine(std::string_view s) {
    Text out;
    for (char c : s)
        if (!(c == '\n' && !out.empty() && out.back() == '\r')) out += c;
    return out;
}

class LineModel {
  public:
    explicit LineModel(std::string_view text) {
        for (size_t at = 0; !text.empty();) {
            const size_t end = text.find(kBreak, at);
            lines_.emplace_back(text.substr(at, end - at));
            if (end == std::string_view::npos) break;
            at = end + kBreak.size();
        }
    }
    Text text() const {
        Text out;
        for (size_t i = 0; i < lines_.size(); ++i) out.append(i ? kBreak : "").append(lines_[i]);
        return out;
    }
    Text read(const Text& section, const Text& key, const Text& fallback,
              bool emptyIsMissing) const {
        const size_t line = keyLine(sectionLine(section), key);
        if (line == npos) return fallback;
        const Text value = lines_[line].substr(key.size() + 1);
        return value.empty() && emptyIsMissing ? fallback : value;
    }
    void write(const Text& section, const Text& key, const Text& value) {
        size_t header = sectionLine(section);
        if (header == npos) {
            lines_.push_back("[" + section + "]");
            header = lines_.size() - 1;
        }
        size_t line = keyLine(header, key);
        if (line == npos) {
            // A new entry goes before the next line that opens with "[".
            line = header + 1;
            while (line < lines_.size() && !lines_[line].starts_with('[')) ++line;
            lines_.insert(lines_.begin() + ptrdiff_t(line), Text());
        }
        lines_[line] = key + "=" + value;
    }

  private:
    static constexpr size_t npos = size_t(-1);

    size_t sectionLine(const Text& section) const {
        for (size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].starts_with("[" + section + "]")) return i;
        return npos;
    }
    static bool wholeHeader(const Text& line) {
        return line.size() >= 2 && line.front() == '[' && line.back() == ']';
    }
    size_t keyLine(size_t header, const Text& key) const {
        if (header == npos) return npos;
        for (size_t i = header + 1; i < lines_.size(); ++i) {
            if (lines_[i].starts_with(key + "=")) return i;
            if (wholeHeader(lines_[i])) return npos;
        }
        return npos;
    }

    std::vector<Text> lines_;
};

// The settings file of this process, in a folder of its own that goes when the process ends.
const Text& scratchFile() {
    static char folder[] = "/tmp/partwell-fuzz-settings-XXXXXX";
    static const Text path = [] {
        if (!mkdtemp(folder)) std::abort();
        std::atexit([] { std::filesystem::remove_all(folder); });
        return Text(folder) + "/Partwell.ini";
    }();
    return path;
}

std::string onDisk(const Text& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeDisk(const Text& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

// The stored form of a typed write, checked and taken into the model like a plain value.
Text storedValue(SettingsStore& store, LineModel& model, const Text& section, const Text& key) {
    // The fallback holds a line break, which no stored value can, so the fuzzer cannot store it.
    const Text raw = store.readValue(key, "missing\r\n", false);
    FUZZ_EXPECT(raw.find(kBreak) == Text::npos, {"section", section}, {"key", key},
                {"stored", raw});
    model.write(section, key, raw);
    return raw;
}

void typedWrite(SettingsStore& store, LineModel& model, const Text& section, const Text& key,
                std::string_view value, uint8_t op) {
    const Text marker = lit(texts::kLineBreakMarker);
    switch (op % 4) {
        case 0: {  // text, line breaks and all
            FUZZ_EXPECT(store.writeText(key, Text(value)), {"key", key});
            storedValue(store, model, section, key);
            // A text holding the marker's own character cannot tell it from a line break.
            if (value.find(marker.substr(0, charLengthAt(marker, 0))) == Text::npos) {
                const Text got = store.readText(key, "fallback");
                FUZZ_EXPECT(got == (value.empty() ? "fallback" : value), {"key", key},
                            {"text", value}, {"read", got});
            }
            break;
        }
        case 1: {  // number, from the value's first bytes
            double number = 0;
            std::memcpy(&number, value.data(), std::min(value.size(), sizeof number));
            FUZZ_EXPECT(store.writeNumber(key, number), {"key", key});
            const Text raw = storedValue(store, model, section, key);
            if (std::abs(number) < 1e15 && number == std::trunc(number))
                FUZZ_EXPECT(raw.find_first_not_of("-0123456789") == Text::npos, {"stored", raw});
            const double got = store.readNumber(key, 7);
            const double want = std::isfinite(number) ? number : 0;
            FUZZ_EXPECT(got == want, {"stored", raw}, {"read", std::to_string(got)});
            break;
        }
        case 2: {  // flag
            const bool flag = value.size() % 2;
            FUZZ_EXPECT(store.writeFlag(key, flag), {"key", key});
            const Text raw = storedValue(store, model, section, key);
            FUZZ_EXPECT(raw == lit(flag ? texts::kFlagTrue : texts::kFlagFalse), {"stored", raw});
            FUZZ_EXPECT(store.readFlag(key, !flag) == flag, {"stored", raw});
            break;
        }
        default: {  // bytes, beside the file under a name of our own: the text stays as it is
            store.selectSection("bytes");
            FUZZ_EXPECT(store.writeBytes("value", ByteBuffer(value)), {"bytes", value});
            const ByteBuffer got = store.readBytes("value", "fallback");
            FUZZ_EXPECT(got == (value.empty() ? "fallback" : value), {"bytes", value},
                        {"read", got});
            store.selectSection(section);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::fuzz::Fields fields(data, size);
    struct Operation {
        uint8_t kind;
        Text section, key, value;
    };
    std::vector<Operation> operations(1 + fields.byte() % 6);
    for (Operation& op : operations) {
        op.kind = fields.byte();
        op.section = oneLine(fields.next());
        op.key = oneLine(fields.next());
        op.value = Text(fields.next());
    }
    const std::string_view file = fields.rest();
    const Text& path = scratchFile();
    writeDisk(path, file);

    LineModel model(file);
    {
        SettingsStore store;
        FUZZ_EXPECT(store.openFile(path) && store.text() == file, {"file", file});
        for (const Operation& op : operations) {
            store.selectSection(op.section);
            const bool emptyIsMissing = op.kind & 1;
            switch (op.kind / 2 % 3) {
                case 0: {
                    const Text got = store.readValue(op.key, "fallback", emptyIsMissing);
                    const Text want = model.read(op.section, op.key, "fallback", emptyIsMissing);
                    FUZZ_EXPECT(got == want, {"file", file}, {"section", op.section},
                                {"key", op.key}, {"read", got}, {"model", want});
                    // Typed reads of whatever the file holds.
                    const bool stored =
                        model.read(op.section, op.key, "", true) == lit(texts::kFlagTrue);
                    FUZZ_EXPECT(store.readFlag(op.key, false) == stored, {"value", want});
                    FUZZ_EXPECT(std::isfinite(store.readNumber(op.key, 7)), {"value", want});
                    break;
                }
                case 1: {
                    const Text value = oneLine(op.value);
                    FUZZ_EXPECT(store.writeValue(op.key, value), {"key", op.key});
                    model.write(op.section, op.key, value);
                    const Text got = store.readValue(op.key, "fallback", false);
                    FUZZ_EXPECT(got == value, {"file", file}, {"section", op.section},
                                {"key", op.key}, {"value", value}, {"read", got});
                    break;
                }
                default:
                    typedWrite(store, model, op.section, op.key, op.value, op.kind / 6);
            }
            const Text want = model.text();
            FUZZ_EXPECT(store.text() == want, {"file", file}, {"section", op.section},
                        {"key", op.key}, {"text", store.text()}, {"model", want});
            FUZZ_EXPECT(onDisk(path) == want, {"on disk", onDisk(path)}, {"model", want});
        }
        FUZZ_EXPECT(store.failures() == 0, {"file", file});
    }
    SettingsStore reopened;
    FUZZ_EXPECT(reopened.openFile(path) && reopened.text() == model.text(), {"file", file},
                {"reopened", reopened.text()});
    return 0;
}
