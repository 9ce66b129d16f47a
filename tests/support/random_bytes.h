#pragma once
// Bytes that compress to nothing and repeat nowhere, the same for the same seed.

#include <cstddef>
#include <random>
#include <string>

namespace pw::test {

inline std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random());
    return s;
}

}  // namespace pw::test
