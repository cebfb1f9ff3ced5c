#include "io/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace tarnvel::io {
namespace {

constexpr const char* kCodePage = "CP936";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// One conversion descriptor per call (or per encoder): iconv keeps shift
// state in it, and a descriptor of its own keeps every call independent of
// any other thread.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("系统缺少GBK（代码页936）编码转换支持。");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Back to the initial state, so that a text never depends on the one before.
    void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

    // Converts as much of [in, in + left) as it can, appending to `out`.
    // Returns 0 when all input is consumed, or the errno that stopped it
    // (EILSEQ or EINVAL), with `in`/`left` at the offending byte.
    int Run(const char*& in, std::size_t& left, std::string& out) {
        while (left > 0) {
            char buffer[1024];
            char* dst = buffer;
            std::size_t room = sizeof buffer;
            char* src = const_cast<char*>(in);
            const std::size_t rc = iconv(cd_, &src, &left, &dst, &room);
            const int error = errno;
            in = src;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (error == E2BIG) continue;
            return error;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

// How many bytes at the start of `s` make one character, or one broken piece
// of a character (a lead byte with as many of its continuation bytes as are
// there): either way it becomes one "?". Never less than 1.
std::size_t Utf8PieceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 1;
    }
    std::size_t i = 1;
    for (; i < length && i < s.size(); ++i) {
        const unsigned char lo = i == 1 ? low : 0x80;
        const unsigned char hi = i == 1 ? high : 0xBF;
        if (byte(i) < lo || byte(i) > hi) break;
    }
    return i;
}

}  // namespace

class Utf8ToGbkEncoder::Converter : public Iconv {
public:
    Converter() : Iconv(kCodePage, "UTF-8") {}
};

Utf8ToGbkEncoder::Utf8ToGbkEncoder() : converter_(std::make_unique<Converter>()) {}
Utf8ToGbkEncoder::~Utf8ToGbkEncoder() = default;

std::string Utf8ToGbk(std::string_view utf8, std::vector<std::string>* lost) {
    return Utf8ToGbkEncoder().Encode(utf8, lost);
}

std::string Utf8ToGbkEncoder::Encode(std::string_view utf8, std::vector<std::string>* lost) {
    // Code page 936 holds ASCII as it is.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    Converter& converter = *converter_;
    converter.Reset();
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    while (converter.Run(in, left, out) != 0) {
        // Skip the whole character the code page lacks, or one stray byte.
        const std::size_t skip = Utf8PieceLength(std::string_view(in, left));
        if (lost) {
            std::string character(in, skip);
            if (std::find(lost->begin(), lost->end(), character) == lost->end()) lost->push_back(std::move(character));
        }
        out += '?';
        in += skip;
        left -= skip;
    }
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    Iconv converter("UTF-8", kCodePage);
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    const char* in = gbk.data();
    std::size_t left = gbk.size();
    while (converter.Run(in, left, out) != 0) {
        // Only the offending byte is dropped: the byte after a bad lead byte
        // may well be an ordinary character of its own.
        out += kReplacementCharacter;
        ++in;
        --left;
    }
    return out;
}

}  // namespace tarnvel::io
