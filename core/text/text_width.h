#pragma once
// How many columns a UTF-8 text takes on a terminal, so that tables and usage
// texts mixing Chinese and digits line up.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnvel {

// East Asian wide characters (CJK ideographs and punctuation, Hangul,
// full-width forms) count two columns, every other character one.
std::size_t DisplayWidth(std::string_view text);

// Appends `text` padded with spaces to `width` columns: on the left when
// `right` (numbers), else on the right.
void AppendPadded(std::string& out, std::string_view text, std::size_t width, bool right);

// Rows of cells as a table for a terminal: every column as wide as its widest
// cell, cells right-aligned, two blanks between them; empty cells at the end
// of a line leave no blanks behind.
void AppendAlignedTable(std::string& out, const std::vector<std::vector<std::string>>& rows,
                        std::string_view lineEnd);

}  // namespace tarnvel
