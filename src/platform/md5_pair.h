#pragma once
// Two MD5s over the same bytes at once, as recovery files need them: a file's MD5 and the MD5s of
// its slices, the second finished and begun again at every slice's end. An MD5 is one chain of
// dependent steps that leaves most of a core idle; two chains side by side take little more
// time than one (libcrypto's one at a time takes twice as long).

#include <cstddef>
#include <cstdint>

#include "platform/hash.h"

namespace pw {

class Md5Pair {
  public:
    // Both streams get these bytes.
    void update(const void* data, size_t size);
    // Only the second stream gets them (a short slice's zero padding).
    void updateSecond(const void* data, size_t size);
    // The digest of a stream so far, which then begins again empty.
    Md5Digest finishFirst() { return finish(first_); }
    Md5Digest finishSecond() { return finish(second_); }

    struct Stream {
        uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
        unsigned char buffer[64] = {};
        size_t used = 0;
        uint64_t total = 0;
    };

  private:
    static Md5Digest finish(Stream& s);
    Stream first_, second_;
};

}  // namespace pw
