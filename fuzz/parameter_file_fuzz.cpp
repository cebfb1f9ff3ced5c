// Any bytes as a parameter file: the reader never fails unexpectedly and
// gives only texts the input boxes can take; and any five texts written by
// the writer read back as the numbers the window's boxes read in them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "io/parameter_file.h"
#include "fuzz/fuzz_check.h"

namespace {

using tarnvel::fuzz::Check;

// The number a box text stands for, as the window reads it: the station (the
// first line) also in K notation, full-width forms as ASCII.
double BoxNumber(const std::string& text, std::size_t line, bool& outOfRange) {
    const std::string folded = tarnvel::FoldFullWidth(text);
    return line == 0 ? tarnvel::StationBoxToNumber(folded, outOfRange)
                     : tarnvel::TextToNumber(folded, outOfRange);
}

// A loaded text is what a load gives back for `typed`: the number form of the
// number the box reads, or, for a number beyond the double range, a text that
// reads as beyond the range again, with the same sign.
bool LoadsAs(const std::string& loaded, std::string typed, std::size_t line) {
    // The writer turns line breaks inside a text into blanks.
    for (char& c : typed)
        if (c == '\r' || c == '\n') c = ' ';
    bool typedOut = false;
    bool loadedOut = false;
    const double typedValue = BoxNumber(typed, line, typedOut);
    const double loadedValue = BoxNumber(loaded, line, loadedOut);
    if (typedOut) return loadedOut && typedValue == loadedValue;
    return !loadedOut && loaded == tarnvel::NumberToText(typedValue);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // 1. The bytes as a file.
    const io::ParsedParameterFile parsed = io::ParseParameterFile(bytes);
    if (parsed.fault == io::ParameterFileFault::None) {
        for (std::size_t i = 0; i < parsed.texts.size(); ++i) Check(LoadsAs(parsed.texts[i], parsed.texts[i], i));
    }

    // 2. The bytes as five box texts, split at '|'.
    io::ParameterTexts texts;
    std::size_t field = 0;
    for (char c : bytes) {
        if (c == '|' && field + 1 < texts.size()) {
            ++field;
        } else {
            texts[field].push_back(c);
        }
    }
    // A NUL byte marks a file as binary; no box or command-line word holds one.
    if (bytes.find('\0') != std::string_view::npos) return 0;
    const std::string file = io::FormatParameterFile(texts);
    if (file.size() > io::kParameterFileReadLimit) return 0;
    const io::ParsedParameterFile back = io::ParseParameterFile(file);
    Check(back.fault == io::ParameterFileFault::None);
    for (std::size_t i = 0; i < texts.size(); ++i) Check(LoadsAs(back.texts[i], texts[i], i));
    return 0;
}
