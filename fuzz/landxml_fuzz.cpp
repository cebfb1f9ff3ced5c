// Any bytes as a LandXML file: the reader never fails unexpectedly, reading
// the point lists in small pieces gives what the whole-file DOM gives, and a
// profile it reads, written and read again, is the same profile.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

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
