#pragma once
// Every text the program shows or writes, in UTF-8; they become code-page text through lit().

#include <string_view>

namespace pw::texts {

// Message box titles.
inline constexpr std::string_view kInfoTitle = "信息：";

// Split options refused.
inline constexpr std::string_view kPartCountMustBePositive = "份数必须大于0";
inline constexpr std::string_view kByteLengthNotZero = "字节长度不能等于0";

// Captions of the split start button.
inline constexpr std::string_view kSplitIdle = "开始分割（选择文件）..";
inline constexpr std::string_view kSplitRunning = "正在分割，点击停止";
inline constexpr std::string_view kSplitStopping = "正在停止中";

// Captions of the merge start button (each ends in five spaces).
inline constexpr std::string_view kMergeIdle = "开始合并（选择文件夹）..     ";
inline constexpr std::string_view kMergeRunning = "正在合并，点击停止";
inline constexpr std::string_view kMergeStopping = "正在停止中     ";

}  // namespace pw::texts
