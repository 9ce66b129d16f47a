#pragma once
// The table-driven charset converter behind the charset port (platform/charset.h). Its tables
// come from glibc's iconv at build time, so it converts exactly as iconv does, substituting as the
// iconv path does; only the GB18030 private-use code points glibc cannot convert follow the
// GB18030 standard instead.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "codec/invalid_input.h"

namespace pw::codec {

enum class Charset { Gb18030, Utf8, Utf16Le, Utf16Be, Big5, Big5Hkscs };

// The charset of an iconv name the codec handles ("GB18030", "UTF-8", "UTF-16LE", "UTF-16BE",
// "BIG5", "BIG5-HKSCS", in any case); nothing for the others.
std::optional<Charset> charsetNamed(std::string_view name);

// Whether the codec converts from one to the other; iconv does the rest.
bool converts(Charset from, Charset to);

// Receives each piece of output with the count of input bytes read up to its end.
using PieceSink = std::function<void(std::string_view piece, size_t consumed)>;

// Converts `input`, handing the output to `sink` piece by piece. A character the target cannot
// hold becomes "?"; invalid input becomes what `onInvalid` makes of it or, without one, the
// target's replacement character (U+FFFD where it has it, "?" otherwise) for each unit of it.
// Returns how many substitutes it wrote: "?", replacement characters and calls of `onInvalid`.
size_t convert(std::string_view input, Charset from, Charset to, const PieceSink& sink,
               InvalidInput onInvalid = nullptr);

// How much of `input` may be converted now, the rest held back until more input follows, so that
// the pieces convert to what the whole would: the input up to a character start near its end
// (nothing when none is known yet). `to` matters for Big5-HKSCS, which joins a letter with a
// combining mark after it.
size_t wholePrefix(std::string_view input, Charset from, Charset to);

// The whole output at once; `replacements`, when given, gets the count.
std::string convert(std::string_view input, Charset from, Charset to,
                    size_t* replacements = nullptr);

}  // namespace pw::codec
