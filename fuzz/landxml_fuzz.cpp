// Any bytes as a LandXML file: the reader never fails unexpectedly, reading
// the point lists in small pieces gives what the whole-file DOM gives, and a
// profile it reads, written and read again, is the same profile. The
// horizontal geometry reads as pieces that follow one another along the road,
// or as a problem that can be worded.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text/messages.h"
#include "io/landxml_horizontal.h"
#include "io/landxml_scan.h"
#include "io/profile_files.h"
#include "fuzz/fuzz_check.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::Result<std::vector<io::LandXmlProfileName>> names = io::ListLandXmlProfiles(bytes, "f.xml");
    const io::Result<ProfileModel> read = io::ParseLandXml(bytes, "", "f.xml");
    Check(names.ok() || !read.ok());
    const io::Result<io::HorizontalReading> horizontal = io::ParseLandXmlHorizontal(bytes, "", "f.xml");
    if (horizontal.ok()) {
        const io::HorizontalReading& h = horizontal.value();
        Check(!(h.alignment && h.problem));
        if (h.problem) Check(!DescribeHorizontalProblem(*h.problem).empty());
        if (h.alignment) {
            const auto& pieces = h.alignment->pieces;
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                const HorizontalPiece& p = pieces[i];
                Check(std::isfinite(p.start) && std::isfinite(p.end) && p.start < p.end);
                Check(i == 0 || p.start == pieces[i - 1].end);
                Check(p.radiusStart > 0 && p.radiusEnd > 0);
                Check(p.kind != HorizontalKind::Spiral || !(std::isinf(p.radiusStart) && std::isinf(p.radiusEnd)));
            }
        }
    }
    std::string inPieces(bytes), whole(bytes);
    const auto a = io::ParseLandXmlInPlace(inPieces, "", "f.xml", {true, 16});
    const auto b = io::ParseLandXmlInPlace(whole, "", "f.xml", {false, 0});
    // Both read the same profile, or both refuse the file. (The line a
    // message names may differ where a lone carriage return stands inside the
    // point lists: the whole-file parse turns it into a line break before
    // lines are counted, the pieces do not.)
    Check(a.ok() == b.ok());
    Check(!a.ok() || (a.value().model == b.value().model && a.value().beyondProfile == b.value().beyondProfile));
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile && !read.failure().message.empty());
        return 0;
    }
    const io::Result<ProfileModel> again = io::ParseLandXml(io::LandXmlBytes(read.value()), "", "again.xml");
    Check(again.ok());
    Check(again.value() == read.value());
    return 0;
}
