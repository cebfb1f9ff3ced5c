#pragma once
// How many columns a UTF-8 text takes on a terminal, so that tables and usage
// texts mixing Chinese and digits line up.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnvel {

// East Asian wide characters (CJK ideographs and punctuation, Hangul,
// full-width forms) count two columns, every other character one.
std::size_t DisplayWidth(std::string_view text);

// Appends `text` padded with spaces to `width` columns: on the left when
// `right` (numbers), else on the right.
void AppendPadded(std::string& out, std::string_view text, std::size_t width, bool right);

}  // namespace tarnvel
