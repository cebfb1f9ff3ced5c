// The text forms of a profile: the elements table as CSV and for people, and
// the listing lines with their notes.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/profile/profile.h"
#include "core/profile/profile_listing.h"
#include "core/text/output_vocabulary.h"
#include "core/text/profile_text.h"
#include "core/text/text_width.h"
#include "core/text/messages.h"

namespace tarnvel {
namespace {

// A crest (+2 % to -1 %, R 2000: curve 170 to 230, high point at 210, 103.8)
// and an unsymmetrical sag (-1 % to +1 %, 30 before and 50 after the PVI:
// offset at the PVI 30 × 50 × 2 % / 160 = 0.1875, low point 24 past the curve
// start at 394, 102.18).
Profile CrestAndSag() {
    ProfileModel model;
    model.points = {
        {{0, 0}, 100, {}},
        {{200, 0}, 104, {CurveKind::ParabolaRadius, 2000, 0, 0, 0}},
        {{400, 0}, 102, {CurveKind::Unsymmetric, 0, 0, 30, 50}},
        {{600, 0}, 104, {}},
    };
    std::vector<ProfileProblem> problems;
    const auto profile = Profile::Resolve(model, &problems);
    if (!profile) throw std::runtime_error(problems.empty() ? "invalid" : DescribeProfileProblem(problems[0]));
    return *profile;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(text.substr(begin, end - begin));
    return lines;
}

TEST(ProfileText, ElementsCsvRowsHoldTheCurveNumbers) {
    const std::vector<std::string> lines = Lines(ElementsCsv(CrestAndSag(), TextOptions{}));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1],
              "200.000,104.000,2.0000,-1.0000,crest,2000.000,60.000,30.000,30.000,0.225,"
              "170.000,103.400,230.000,103.700,210.000,103.800");
    // An unsymmetrical parabola has no radius: the cell is empty, not "nan".
    EXPECT_TRUE(lines[2].starts_with("400.000,102.000,-1.0000,1.0000,sag,,80.000,30.000,50.000,"))
        << lines[2];
}

TEST(ProfileText, ChineseTableLinesUpByDisplayWidth) {
    TextOptions options;
    options.stations = StationStyle::K;
    const std::vector<std::string> lines = Lines(ElementsTableText(CrestAndSag(), options));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "竖曲线要素表");
    EXPECT_NE(lines[1].find("米"), std::string::npos);
    // Both curves have their extreme inside, so every row fills every column:
    // the header (wide characters) and the rows (digits) end at one column.
    const std::size_t width = DisplayWidth(lines[2]);
    for (std::size_t i = 3; i < lines.size(); ++i)
        EXPECT_EQ(DisplayWidth(lines[i]), width) << lines[i];
    EXPECT_NE(lines[3].find("K0+210.000"), std::string::npos) << lines[3];
}

TEST(ProfileText, ListingNotesNameEachKeyPoint) {
    const Profile profile = CrestAndSag();
    std::string text, csv;
    const TextOptions options;
    const auto result =
        ListProfile(profile, {{0, 0}, {600, 0}, 100, true}, 100, [&](const ProfileListingRow& row) {
            AppendListingText(text, profile, row, options);
            AppendListingCsv(csv, profile, row, options);
        });
    ASSERT_TRUE(result.ok) << DescribeProfileListing(result);
    const std::vector<std::string> lines = Lines(text);
    const struct {
        const char* start;
        const char* note;
    } expected[] = {{"170.000\t103.400\t", "竖曲线起点"},
                    {"200.000\t", "变坡点"},
                    {"210.000\t103.800\t0.0000\t", "最高点"},
                    {"230.000\t103.700\t", "竖曲线终点"},
                    {"370.000\t", "竖曲线起点"},
                    {"394.000\t102.180\t0.0000\t", "最低点"}};
    for (const auto& e : expected) {
        bool found = false;
        for (const std::string& line : lines)
            found = found || (line.starts_with(e.start) && line.ends_with(std::string("\t") + e.note));
        EXPECT_TRUE(found) << e.start << " " << e.note << "\n" << text;
    }
    EXPECT_EQ(Lines(text).size(), Lines(csv).size());
    EXPECT_NE(csv.find("\n100.000,102.000,2.0000,\n"), std::string::npos) << csv;
}

// A PVI whose grades do not change (the same elevation on either side, or
// a file's elevations rounded in their last bits: STN02's 2 and
// 1.9999999999990399) is neither crest nor sag, in Chinese or in the CSV; a
// change of a hundredth of a percent is one.
TEST(ProfileText, APviWhoseGradeDoesNotChangeHasNoKind) {
    const struct {
        const char* name;
        double middle, end;  // elevations at 226.272 and 500; the start is 2 at 0
        const char* chinese;
        const char* english;
    } cases[] = {{"level", 2, 2, "", ""},
                 {"rounded", 1.9999999999990399, 2, "", ""},
                 {"crest", 2.02, 2, "凸", "crest"},
                 {"sag", 1.98, 2, "凹", "sag"}};
    const ElementsColumn* kind = nullptr;
    for (const ElementsColumn& column : ElementsColumns())
        if (column.key == "kind") kind = &column;
    ASSERT_NE(kind, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileModel model;
        model.points = {{{0, 0}, 2, {}}, {{226.272, 0}, c.middle, {}}, {{500, 0}, c.end, {}}};
        std::vector<ProfileProblem> problems;
        const auto profile = Profile::Resolve(model, &problems);
        ASSERT_TRUE(profile);
        const TextOptions options;
        ASSERT_EQ(profile->Elements().size(), 1u);
        const CurveElementsRow& row = profile->Elements().front();
        EXPECT_EQ(CellText(*kind, row, CellContext{*profile, options, false}), c.chinese);
        EXPECT_EQ(CellText(*kind, row, CellContext{*profile, options, true}), c.english);
    }
}

// A long table is written in blocks from a profile that keeps only its
// model: the blocks together must be the table the cells make when laid out
// whole (AppendAlignedTable over ElementsTableCells), columns as wide as
// their widest cell anywhere in the file, and the CSV the same rows.
TEST(ProfileText, ElementsWrittenInBlocksAreTheTableLaidOutWhole) {
    ProfileModel model;
    model.name = "主线";
    model.chains = {{52'000.5, 51'990}};  // a long chain: labels with "(2)" widen the station columns
    const CurveSpec kinds[] = {{CurveKind::ParabolaRadius, 2000, 0, 0, 0}, {CurveKind::Unsymmetric, 0, 0, 20, 35},
                               {}, {CurveKind::Circular, 2000, 0, 0, 0}, {CurveKind::ParabolaLength, 0, 40, 0, 0}};
    model.points.push_back({{0, 0}, 100, {}});
    for (int i = 1; i <= 1500; ++i) {
        double label = 100.0 * i;
        int occurrence = 0;
        if (label > 52'000.5) label -= 10.5;
        if (label >= 51'990 && label <= 52'000.5) occurrence = label == 51'900 ? 0 : 2;
        model.points.push_back({{label, occurrence}, 100 + (i % 3) * 1.5 + (i % 700 == 0 ? 0.5 : 0), kinds[i % 5]});
    }
    model.points.push_back({{150'200, 0}, 100, {}});
    const TextOptions options;
    std::vector<ProfileProblem> problems;
    const std::optional<Profile> whole = Profile::Resolve(model, &problems);
    ASSERT_TRUE(whole) << (problems.empty() ? "" : DescribeProfileProblem(problems[0]));
    const std::optional<Profile> lean = Profile::Resolve(model, nullptr, ProfileKeep::Model);
    ASSERT_TRUE(lean);

    std::string laidOut = "竖曲线要素表\n纵断面：主线\n单位：桩号、高程、长度为米，纵坡为%\n";
    AppendAlignedTable(laidOut, ElementsTableCells(*whole, options), "\n");
    const std::string csv = ElementsCsv(*whole, options);
    for (const bool table : {true, false}) {
        std::string joined;
        std::size_t blocks = 0;
        const BlockSink spill = [&](std::string& block) {
            EXPECT_LT(block.size(), 70'000u);
            joined += block;
            block.clear();
            ++blocks;
        };
        if (table) WriteElementsTableText(*lean, options, spill);
        else WriteElementsCsv(*lean, options, spill);
        EXPECT_GT(blocks, 2u);
        EXPECT_EQ(joined, table ? laidOut : csv);
    }
}

}  // namespace
}  // namespace tarnvel
