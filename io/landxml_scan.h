#pragma once
// The long point lists of a LandXML file found by a scan of its bytes, so that
// they can be read a piece at a time instead of as one DOM node per point: a
// 100 MB profile then costs the file and its points, not three times the file.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/profile_files.h"

namespace tarnvel::io {

// The content of one element between its start and its end tag.
struct ElementContent {
    std::size_t nameOffset = 0;  // of the element's name in the bytes (just after '<')
    std::size_t begin = 0, end = 0;
    std::size_t children = 0;  // elements directly inside
    // Offsets in (begin, end) between two of its children, about one piece
    // apart: each piece is whole XML on its own.
    std::vector<std::size_t> cuts;
};

// The contents of every element of local name `local`, in file order; nothing
// when the bytes hold what this scan does not follow (a document type
// declaration, a tag left open, one such element inside another) — the caller
// then reads the file through the DOM alone, which says what is wrong.
std::optional<std::vector<ElementContent>> FindElementContents(std::string_view bytes, std::string_view local,
                                                               std::size_t pieceBytes);

// The bytes of a content made blank, line breaks kept so that the lines of
// everything after it stay where they were.
void BlankContent(std::string& bytes, const ElementContent& content);

// How ParseLandXmlInPlace reads the points: the profiles' point lists piece by
// piece (what the program does), or the whole file as one DOM (the reference
// the pieces are checked against).
struct LandXmlReadPlan {
    bool inPieces = true;
    std::size_t pieceBytes = std::size_t{1} << 20;
};
Result<LandXmlContent> ParseLandXmlInPlace(std::string& bytes, std::string_view name, std::string_view path,
                                           const LandXmlReadPlan& plan);

}  // namespace tarnvel::io
