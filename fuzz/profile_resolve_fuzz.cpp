// Any profile a CSV table can state, checked and then used: Resolve either
// gives a profile or says why not, and a profile it gives answers At at any
// station on it and lists itself in order, within the row limit, without
// failing in any other way than by the station errors it documents.
//
// The first four bytes steer the use (where to ask, how fine to list); the
// rest is the table.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/profile/profile_listing.h"
#include "core/text/messages.h"
#include "fuzz/fuzz_check.h"
#include "io/profile_files.h"

using tarnvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnvel;
    if (size < 4) return 0;
    const std::uint8_t steer[4] = {data[0], data[1], data[2], data[3]};
    const std::string_view bytes(reinterpret_cast<const char*>(data + 4), size - 4);
    const io::Result<ProfileModel> read = io::ParseProfileCsv(bytes, "f.csv");
    if (!read.ok()) return 0;

    std::vector<ProfileProblem> problems;
    const std::optional<Profile> profile = Profile::Resolve(read.value(), &problems);
    if (!profile) {
        Check(!problems.empty());
        for (const ProfileProblem& p : problems) Check(!DescribeProfileProblem(p).empty());
        return 0;
    }
    const double start = profile->StartStation(), end = profile->EndStation();
    Check(start <= end);

    // Anywhere on the profile, ends included.
    for (int i = 0; i < 3; ++i) {
        const double t = steer[i] / 255.0;
        const double internal = start + t * (end - start);
        try {
            (void)profile->At(internal);
            (void)profile->AtLabel(profile->LabelOf(internal));
        } catch (const StationError&) {
            // a label the chain cannot place back: reported, not a fault
        }
    }

    ProfileRange range;
    range.from = profile->LabelOf(start);
    range.to = profile->LabelOf(end);
    range.step = end > start ? (end - start) / (1 + steer[3] % 64) : 1;
    range.keyPoints = (steer[3] & 0x80) != 0;
    constexpr std::uint64_t kLimit = 5000;
    double previous = -INFINITY;
    std::uint64_t rows = 0;
    try {
        const ProfileListingResult listed = ListProfile(*profile, range, kLimit, [&](const ProfileListingRow& row) {
            Check(row.internal >= previous);
            previous = row.internal;
            ++rows;
        });
        Check(rows <= kLimit);
        Check(listed.ok ? listed.rows == rows : !DescribeProfileListing(listed).empty());
    } catch (const StationError&) {
    }
    return 0;
}
