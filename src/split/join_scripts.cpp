#include "split/join_scripts.h"

#include <cstdio>

#include "platform/native_names.h"

namespace pw {
namespace {

// 'it''s' in sh is 'it'\''s': every byte but the quote stands for itself inside single quotes.
std::string shQuoted(std::string_view native) {
    std::string out = "'";
    for (char c : native) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

// A sha256sum line: a name with a backslash or a line break is escaped and the line marked.
std::string sumLine(const std::string& digest, std::string_view native) {
    std::string name;
    bool escaped = false;
    for (char c : native) {
        if (c == '\\' || c == '\n' || c == '\r') escaped = true;
        name += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    return (escaped ? "\\" : "") + digest + "  " + name + "\n";
}

// Inside double quotes cmd.exe still expands %; with delayed expansion off, "!" is plain.
std::string cmdQuoted(std::string_view native) {
    std::string out = "\"";
    for (char c : native) {
        if (c == '%')
            out += "%%";
        else if (c != '"' && c != '\r' && c != '\n')
            out += c;
    }
    return out + "\"";
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::string joinShellScript(const Manifest& m) {
    const std::string original = toNativeName(m.sourceName);
    std::string s =
        "#!/bin/sh\n"
        "# Joins the parts beside this script back into the original and checks it.\n"
        "# Run it as: sh join.sh\n"
        "cd \"$(dirname \"$0\")\" || exit 1\n"
        "original=" +
        shQuoted(original) +
        "\n"
        "temporary=\".partwell-join.$$.tmp\"\n"
        "if [ -e \"$original\" ] || [ -L \"$original\" ]; then\n"
        "    echo \"already there, not replaced: $original\" >&2\n"
        "    exit 1\n"
        "fi\n"
        "for part in";
    for (const ManifestPart& p : m.parts) s += " \\\n    " + shQuoted(toNativeName(p.name));
    s += "\n"
         "do\n"
         "    if [ ! -f \"$part\" ]; then\n"
         "        echo \"missing part: $part\" >&2\n"
         "        exit 1\n"
         "    fi\n"
         "done\n"
         "sha256sum -c --quiet --strict <<'PARTWELL_SUMS_END' || { echo \"a part is damaged: "
         "nothing was joined\" >&2; exit 1; }\n";
    for (const ManifestPart& p : m.parts) s += sumLine(p.sha256, toNativeName(p.name));
    s += "PARTWELL_SUMS_END\n"
         "trap 'rm -f \"$temporary\"' EXIT\n"
         "trap 'exit 1' HUP INT TERM\n"
         "cat --";
    for (const ManifestPart& p : m.parts) s += " \\\n    " + shQuoted(toNativeName(p.name));
    s += " >\"$temporary\" || exit 1\n"
         "echo '" +
         m.sourceSha256 +
         "  '\"$temporary\" | sha256sum -c --status || { echo \"the joined file is not the "
         "original: nothing was kept\" >&2; exit 1; }\n"
         "mv -- \"$temporary\" \"$original\" || exit 1\n"
         "trap - EXIT\n"
         "echo \"joined and checked: $original\"\n";
    return s;
}

// The end of join.cmd: success, and the ways out of a failure, none leaving a piece of the join.
constexpr std::string_view kCmdExits =
    "endlocal & chcp %PW_CP% >nul\r\n"
    "exit /b 0\r\n"
    ":notutf8\r\n"
    "echo this cmd.exe does not read the script as UTF-8: nothing was joined\r\n"
    "goto failed\r\n"
    ":nohash\r\n"
    "echo certutil gave no SHA-256, so the joined file could not be checked: nothing was kept\r\n"
    "goto failed\r\n"
    ":damaged\r\n"
    "echo the joined file is not the original: nothing was kept\r\n"
    ":failed\r\n"
    "if exist \"%PW_TMP%\" del \"%PW_TMP%\"\r\n"
    "endlocal & chcp %PW_CP% >nul\r\n"
    "exit /b 1\r\n";

std::string joinCmdScript(const Manifest& m) {
    const std::string original = cmdQuoted(toNativeName(m.sourceName));
    std::string s;
    const auto line = [&s](const std::string& text) { s += text + "\r\n"; };
    // Until chcp 65001 ran, lines are read in the console's code page: ASCII only up to there.
    line("@echo off");
    line("for /f \"tokens=*\" %%a in ('chcp') do for %%b in (%%a) do set \"PW_CP=%%~nb\"");
    line("chcp 65001 >nul");
    line("setlocal EnableExtensions DisableDelayedExpansion");
    line("cd /d \"%~dp0\"");
    line("set \"PW_TMP=partwell-join.tmp\"");
    bool ascii = isAscii(toNativeName(m.sourceName));
    for (const ManifestPart& p : m.parts) ascii = ascii && isAscii(toNativeName(p.name));
    if (!ascii) {
        // One character read as UTF-8; a cmd.exe that keeps the old code page for the lines
        // (Windows before 10, Wine) reads several, and would not find the parts by their names.
        line("set \"PW_PROBE=\xE5\xAD\x97\"");
        line("if not \"%PW_PROBE:~1%\"==\"\" goto notutf8");
    }
    line("if exist " + original + " (");
    line("  echo already there, not replaced: " + original);
    line("  goto failed");
    line(")");
    for (const ManifestPart& p : m.parts) {
        const std::string part = cmdQuoted(toNativeName(p.name));
        line("if not exist " + part + " (");
        line("  echo missing part: " + part);
        line("  goto failed");
        line(")");
    }
    line("if exist \"%PW_TMP%\" del \"%PW_TMP%\"");
    for (size_t i = 0; i < m.parts.size(); ++i) {
        const std::string part = cmdQuoted(toNativeName(m.parts[i].name));
        // One part a line: appending keeps every line short, whatever the count. The error
        // level, not ||, judges each step: some cmd.exe (Wine's) take || after a copy that worked.
        line(i == 0 ? "copy /b " + part + " \"%PW_TMP%\" >nul"
                    : "copy /b \"%PW_TMP%\" + " + part + " \"%PW_TMP%\" >nul");
        line("if errorlevel 1 goto failed");
    }
    line("set \"PW_SUM=\"");
    line(
        "for /f \"skip=1 delims=\" %%h in ('certutil -hashfile \"%PW_TMP%\" SHA256') do if not "
        "defined PW_SUM set \"PW_SUM=%%h\"");
    line("if not defined PW_SUM goto nohash");
    line("set \"PW_SUM=%PW_SUM: =%\"");
    line("if /i not \"%PW_SUM%\"==\"" + m.sourceSha256 + "\" goto damaged");
    line("ren \"%PW_TMP%\" " + original);
    line("if errorlevel 1 goto failed");
    line("echo joined and checked: " + original);
    s += kCmdExits;
    return s;
}

std::string crcFileText(const Manifest& m, uint32_t crc) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", unsigned(crc));
    return "filename=" + toNativeName(m.sourceName) + "\r\nsize=" + std::to_string(m.sourceSize) +
           "\r\ncrc32=" + hex + "\r\n";
}

}  // namespace pw
