#pragma once
// Conversion between the program's UTF-8 text and the bytes of its files,
// which are code page 936 (GBK), as the surveyors' other tools expect.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnvel::io {

// A character that code page 936 cannot hold, and a byte that does not belong
// to a well-formed UTF-8 sequence, each become one "?"; with `lost`, each
// such character is added to it (once), so that the caller can say which.
std::string Utf8ToGbk(std::string_view utf8, std::vector<std::string>* lost = nullptr);

// The same for many texts of one file through one converter: opening one
// costs more than converting a short text. Not for use by two threads at once.
class Utf8ToGbkEncoder {
public:
    Utf8ToGbkEncoder();
    ~Utf8ToGbkEncoder();
    Utf8ToGbkEncoder(const Utf8ToGbkEncoder&) = delete;
    Utf8ToGbkEncoder& operator=(const Utf8ToGbkEncoder&) = delete;

    std::string Encode(std::string_view utf8, std::vector<std::string>* lost = nullptr);

private:
    class Converter;
    std::unique_ptr<Converter> converter_;
};

// A byte sequence that is not valid code page 936 becomes U+FFFD, which no
// number can begin with, so a damaged line reads as 0 rather than as garbage.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace tarnvel::io
