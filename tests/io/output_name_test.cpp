// The one rule for the name and format of a file written by the window's
// dialogs and by the command line.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "io/output_name.h"
#include "io/profile_files.h"

namespace tarnvel::io {
namespace {

TEST(OutputName, the_typed_extension_wins_else_the_picked_one_is_added) {
    constexpr std::optional<ProfileFormat> kNone;
    const struct {
        const char* typed;
        std::optional<ProfileFormat> picked;  // the dialog's filter; none on the command line
        const char* path;                     // empty: no answer
        ProfileFormat format;
    } cases[] = {
        {"x.csv", ProfileFormat::LandXml, "x.csv", ProfileFormat::Csv},
        {"x.XML", ProfileFormat::Csv, "x.XML", ProfileFormat::LandXml},
        {"x", ProfileFormat::LandXml, "x.xml", ProfileFormat::LandXml},
        {"x", ProfileFormat::Csv, "x.csv", ProfileFormat::Csv},
        {"x.", ProfileFormat::Csv, "x.csv", ProfileFormat::Csv},
        {"路线.v2", ProfileFormat::LandXml, "路线.v2.xml", ProfileFormat::LandXml},
        {"/a.csv/x", ProfileFormat::LandXml, "/a.csv/x.xml", ProfileFormat::LandXml},
        {"/a.b/路线.Csv", kNone, "/a.b/路线.Csv", ProfileFormat::Csv},
        {"x.txt", kNone, "", ProfileFormat::LandXml},
        {"x", kNone, "", ProfileFormat::LandXml},
        {"", ProfileFormat::Csv, "", ProfileFormat::LandXml},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto named = ProfileOutputName(c.typed, c.picked);
        if (std::string(c.path).empty()) {
            EXPECT_FALSE(named.has_value());
            EXPECT_FALSE(ProfileFormatFromPath(c.typed).has_value());
            continue;
        }
        ASSERT_TRUE(named.has_value());
        EXPECT_EQ(named->first, c.path);
        EXPECT_EQ(named->second, c.format);
    }
}

}  // namespace
}  // namespace tarnvel::io
