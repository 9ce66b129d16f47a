#pragma once

#include <cstdint>

namespace pw {

// The encoding a text was found in. Codes 2 to 6 can be converted to and from the code page.
enum EncodingCode : int32_t {
    kEncodingUnknown = 0,  // not determined: bytes are written as they are
    kEncodingCodePage = 1,
    kEncodingUtf8 = 2,
    kEncodingUtf16Le = 3,
    kEncodingUtf16Be = 4,
    kEncodingBig5 = 5,
    kEncodingBig5Hkscs = 6,
};

}  // namespace pw
