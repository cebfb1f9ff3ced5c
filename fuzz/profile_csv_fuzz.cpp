// Any bytes as a CSV profile table: the reader never fails unexpectedly, and
// a table it reads, written and read again, is the same table.

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
    const io::Result<ProfileModel> read = io::ParseProfileCsv(bytes, "f.csv");
    if (!read.ok()) {
        Check(read.failure().kind == io::FailureKind::NotProfile && !read.failure().message.empty());
        return 0;
    }
    const io::Result<ProfileModel> again = io::ParseProfileCsv(io::ProfileCsvBytes(read.value()), "again.csv");
    Check(again.ok());
    Check(again.value() == read.value());
    return 0;
}
