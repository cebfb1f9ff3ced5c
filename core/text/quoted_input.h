#pragma once
// Input as a message quotes it: a cell, an attribute, a line, a name or an
// option's value. The one rule for every reader and command, so that a
// damaged or hostile file can neither flood a message nor drive the terminal
// it is printed on.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnvel {

// How much of an input a message quotes, in bytes of the quoted text.
inline constexpr std::size_t kQuotedBytes = 40;

// At most `most` bytes, cut before a whole character and marked "…" when cut.
// What a terminal would act on is shown escaped, never passed through: C0
// controls, DEL and C1 controls as "\x1b" ("\x00" for a NUL, so that it never
// ends the message early), the bidirectional overrides as "\u202e", and bytes
// that are not UTF-8 as "\xff". `most` = npos shows the whole text (a path).
std::string QuotedInput(std::string_view text, std::size_t most = kQuotedBytes);

}  // namespace tarnvel
