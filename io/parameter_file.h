#pragma once
// The parameter file: the five curve inputs, one a line, each followed by its
// label, in code page 936 with CR LF line ends:
//
//   16770                       变坡点桩号K
//   396.67                      变坡点高程H
//   ...
//
// The value starts in column 1 and the label in column 30, counted in bytes of
// the file, so the five labels line up. The labels are for people; the reader
// takes the number at the start of each line, as the window's box reads it
// (the station also in K notation, full-width digits and signs as ASCII), and
// ignores the rest.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "io/io_failure.h"

namespace tarnvel::io {

inline constexpr std::size_t kParameterCount = 5;

// The texts of the five input boxes K0, H0, I1, I2, R, in file order (UTF-8).
using ParameterTexts = std::array<std::string, kParameterCount>;

inline constexpr std::array<std::string_view, kParameterCount> kParameterLabels = {
    "变坡点桩号K", "变坡点高程H", "第一纵坡I1%", "第二纵坡I2%", "竖曲线半径R"};

// 1-based column of the first byte of every label.
inline constexpr std::size_t kLabelColumn = 30;

// The five lines of a genuine parameter file take well under a hundred bytes;
// a file that has not shown five line ends by this size is not one.
inline constexpr std::size_t kParameterFileReadLimit = 64 * 1024;

// The bytes of the file for these texts. Each text is written as typed, except
// that a CR or LF inside it becomes a blank: a line break there would shift
// every later value onto the wrong line. A text too long to leave a blank
// before column 30 gets exactly one blank before its label.
std::string FormatParameterFile(const ParameterTexts& texts);

enum class ParameterFileFault { None, TooFewLines, TooLong, Binary };

struct ParsedParameterFile {
    ParameterFileFault fault = ParameterFileFault::None;
    // When fault is None: the texts the input boxes take, each the
    // NumberToText form of the number its line starts with (a number beyond
    // the double range as written, so that a calculation refuses it).
    ParameterTexts texts;
};

// Reads the first five lines of `bytes`, which hold the beginning of a file
// (at most kParameterFileReadLimit + 1 bytes of it are needed). A line ends at
// CR, and a LF right after that CR belongs to the line end; a LF anywhere else
// is an ordinary character. The last line may end at the end of the file.
// Lines after the fifth are never looked at.
ParsedParameterFile ParseParameterFile(std::string_view bytes);

// Writes the parameter file for `texts` at `path`, replacing it whole or not
// at all.
[[nodiscard]] std::optional<IoFailure> SaveParameterFile(const std::string& path,
                                                         const ParameterTexts& texts);

// Reads the parameter file at `path`: the five texts, or a failure. Reading
// stops after kParameterFileReadLimit bytes whatever the file holds.
Result<ParameterTexts> LoadParameterFile(const std::string& path);

}  // namespace tarnvel::io
