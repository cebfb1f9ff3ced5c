// Any bytes as a LandXML file: the reader never fails unexpectedly, and a
// profile it reads, written and read again, is the same profile.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "io/profile_files.h"
#include "fuzz/fuzz_check.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const io::Result<std::vector<io::LandXmlProfileName>> names = io::ListLandXmlProfiles(bytes, "f.xml");
    const io::Result<ProfileModel> read = io::ParseLandXml(bytes, "", "f.xml");
    Check(names.ok() || !read.ok());
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile && !read.failure().message.empty());
        return 0;
    }
    const io::Result<ProfileModel> again = io::ParseLandXml(io::LandXmlBytes(read.value()), "", "again.xml");
    Check(again.ok());
    Check(again.value() == read.value());
    return 0;
}
