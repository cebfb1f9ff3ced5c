#pragma once
// Conversion between the program's UTF-8 text and the bytes of its files,
// which are code page 936 (GBK), as the surveyors' other tools expect.

#include <string>
#include <string_view>
#include <vector>

namespace tarnvel::io {

// A character that code page 936 cannot hold, and a byte that does not belong
// to a well-formed UTF-8 sequence, each become one "?"; with `lost`, each
// such character is added to it (once), so that the caller can say which.
std::string Utf8ToGbk(std::string_view utf8, std::vector<std::string>* lost = nullptr);

// A byte sequence that is not valid code page 936 becomes U+FFFD, which no
// number can begin with, so a damaged line reads as 0 rather than as garbage.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace tarnvel::io
