#pragma once
// Input as a message quotes it: a cell, an attribute, a line, a name or an
// option's value. The one rule for every reader and command, so that a
// damaged or hostile file can neither flood a message nor drive the terminal
// it is printed on.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnvel {

// How much of an input a message quotes, in bytes of the quoted text.
inline constexpr std::size_t kQuotedBytes = 40;

// At most `most` bytes, cut before a whole character and marked "…" when cut.
// What a terminal would act on is shown escaped, never passed through: C0
// controls, DEL and C1 controls as "\x1b" ("\x00" for a NUL, so that it never
// ends the message early), the bidirectional overrides as "\u202e", and bytes
// that are not UTF-8 as "\xff". `most` = npos shows the whole text (a path).
std::string QuotedInput(std::string_view text, std::size_t most = kQuotedBytes);

// Names from the input as a message lists them: each quoted as above and
// set in “”, "、" between, the first ten only and then "等 N 个" with the
// count of all in `unit` ("个", "条"), so that a file of a hundred thousand
// names does not become the message.
std::string QuotedList(const std::vector<std::string>& names, std::string_view unit);

}  // namespace tarnvel
