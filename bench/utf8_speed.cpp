// Throughput of the UTF-8 test on mostly-ASCII text and on Chinese prose; built and run by
// bench/detect.sh.
#include <chrono>
#include <cstdio>
#include <string>

#include "text/encoding_detect.h"

namespace {

double gigabytesPerSecond(const std::string& line) {
    std::string text;
    while (text.size() < (size_t(256) << 20)) text += line;
    text += "\xE4\xB8\xAD";  // at least one long sequence, so the whole text is read
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!pw::looksLikeUtf8(text)) return 0;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return double(text.size()) / best / 1e9;
}

}  // namespace

int main() {
    std::printf("looksLikeUtf8, mostly ASCII    %6.2f GB/s\n",
                gigabytesPerSecond("The quick brown fox jumps over the lazy dog, 1234567890.\n"));
    std::printf(
        "looksLikeUtf8, Chinese prose   %6.2f GB/s\n",
        gigabytesPerSecond("第一章 开始。他说：“你好，世界！” The year was 2024; 天气很好。\n"));
    return 0;
}
