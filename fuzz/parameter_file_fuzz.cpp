// Any bytes as a parameter file: the reader never fails unexpectedly and
// gives only texts the input boxes can take; and any five texts written by
// the writer read back as the numbers they start with.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/number_text.h"
#include "io/parameter_file.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The number a box text stands for, and so the text a load gives back for it.
std::string Canonical(std::string text) {
    // The writer turns line breaks inside a text into blanks.
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return tarnvel::NumberToText(tarnvel::TextToNumber(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // 1. The bytes as a file.
    const io::ParsedParameterFile parsed = io::ParseParameterFile(bytes);
    if (parsed.fault == io::ParameterFileFault::None) {
        for (const std::string& text : parsed.texts) Check(text == Canonical(text));
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
    for (std::size_t i = 0; i < texts.size(); ++i) Check(back.texts[i] == Canonical(texts[i]));
    return 0;
}
