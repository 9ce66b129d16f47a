// GF(2^16) region multiply-and-add (target ^= factor * source), MB/s of source on one core (CPU
// time), the better of three rounds, for each way the platform adapter has: our split-table AVX2
// kernel, gf-complete, and the log tables.
// Built and run by bench/recovery.sh.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <tuple>
#include <vector>

#include "platform/gf16.h"

namespace {

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double megabytesPerSecond(pw::gf16::Kernel kernel, std::vector<uint8_t>& target,
                          const std::vector<uint8_t>& source, int repeats) {
    double fastest = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double start = cpuSeconds();
        for (int r = 0; r < repeats; ++r)
            pw::gf16::multiplyAddWith(kernel, target.data(), source.data(), source.size(),
                                      static_cast<uint16_t>(0x1234 + r));
        fastest = std::min(fastest, cpuSeconds() - start);
    }
    return double(source.size()) * repeats / fastest / 1e6;
}

}  // namespace

int main() {
    using pw::gf16::Kernel;
    // 1 MiB regions, as the builder's stage hands them over (they stay in the cache, as there).
    std::vector<uint8_t> source(1 << 20), target(1 << 20);
    for (auto& c : source) c = static_cast<uint8_t>(std::rand());
    for (auto [kernel, name, repeats] : {std::tuple{Kernel::Avx2, "own split-table AVX2", 400},
                                         {Kernel::Library, "gf-complete", 400},
                                         {Kernel::Tables, "log tables", 20}}) {
        if (!pw::gf16::hasKernel(kernel)) {
            std::printf("%-22s not on this machine\n", name);
            continue;
        }
        std::printf("%-22s %8.0f MB/s\n", name,
                    megabytesPerSecond(kernel, target, source, repeats));
    }
}
