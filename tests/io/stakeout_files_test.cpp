// 放样数据 files: the DXF read back with dxflib's own reader as a CAD program
// reads it (every point in real coordinates, its name beside it in the
// drawing's code page, metres declared), and the CSV in both encodings
// written atomically over an existing file.

#include "io/stakeout_files.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "io/gbk.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

struct ReadBack : DL_CreationAdapter {
    std::map<std::string, std::string> strings;
    std::map<std::string, int> numbers;
    std::vector<std::pair<std::string, DL_PointData>> points;  // layer, place
    std::vector<std::pair<std::string, DL_TextData>> texts;    // layer, text (GBK)

    void setVariableString(const std::string& key, const std::string& value, int) override { strings[key] = value; }
    void setVariableInt(const std::string& key, int value, int) override { numbers[key] = value; }
    void addPoint(const DL_PointData& p) override { points.push_back({GbkToUtf8(getAttributes().getLayer()), p}); }
    void addText(const DL_TextData& t) override { texts.push_back({GbkToUtf8(getAttributes().getLayer()), t}); }
};

// Three points of a survey in real coordinates: a centre stake with an
// elevation, stakes either side without, one behind a long chain.
std::vector<StakeoutPoint> SurveyPoints() {
    return {{{1260, 0}, -7.5, {3355419.3626, 504799.1127}, std::nullopt},
            {{1260, 0}, 0, {3355421.1, 504806.4}, 396.712},
            {{5350, 2}, 12, {3355600.25, 504541.0977}, std::nullopt}};
}

TEST(StakeoutFiles, dxf_points_lie_on_the_survey_coordinates_with_their_names) {
    const std::vector<StakeoutPoint> points = SurveyPoints();
    const std::string bytes = StakeoutDxf(points, {});
    ReadBack dxf;
    std::istringstream stream(bytes);
    DL_Dxf reader;
    ASSERT_TRUE(reader.in(stream, &dxf));
    EXPECT_EQ(dxf.numbers.at("$INSUNITS"), 6);
    EXPECT_EQ(dxf.strings.at("$DWGCODEPAGE"), "ANSI_936");
    ASSERT_EQ(dxf.points.size(), points.size());
    ASSERT_EQ(dxf.texts.size(), points.size());
    const char* names[] = {"K1+260左7.5", "K1+260", "K5+350(2)右12"};
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const auto& [pointLayer, p] = dxf.points[i];
        const auto& [textLayer, t] = dxf.texts[i];
        EXPECT_EQ(pointLayer, kStakeoutPointLayer);
        EXPECT_EQ(textLayer, kStakeoutNameLayer);
        // x east, y north, to the micrometre the writer keeps.
        EXPECT_NEAR(p.x, points[i].at.east, 1e-6);
        EXPECT_NEAR(p.y, points[i].at.north, 1e-6);
        EXPECT_NEAR(p.z, points[i].elevation.value_or(0), 1e-6);
        EXPECT_EQ(GbkToUtf8(t.text), names[i]);
        // The name next to its own point, not the next one's.
        EXPECT_LT(std::hypot(t.ipx - p.x, t.ipy - p.y), 2 * kStakeoutNameHeight);
    }
}

TEST(StakeoutFiles, csv_in_either_encoding_replaces_a_file_whole) {
    testing::ScratchFolder folder;
    const std::string path = folder.File("放样.csv");
    testing::WriteBytes(path, "old content that must go entirely\n");
    const std::vector<StakeoutPoint> points = SurveyPoints();
    const std::string utf8 =
        "K1+260左7.5,,504799.113,3355419.363,\n"
        "K1+260,,504806.400,3355421.100,396.712\n"
        "K5+350(2)右12,,504541.098,3355600.250,\n";
    struct Case {
        StakeoutEncoding encoding;
        std::string bytes;
    };
    for (const Case& c : {Case{StakeoutEncoding::Utf8, utf8}, Case{StakeoutEncoding::Gbk, Utf8ToGbk(utf8)}}) {
        ASSERT_FALSE(WriteStakeoutCsv(path, points, c.encoding, {}));
        EXPECT_EQ(testing::ReadBytes(path), c.bytes);
    }
    // A folder that is not there: a failure reported, nothing written.
    const auto failure = WriteStakeoutDxf(folder.File("无此目录/放样.dxf"), points, {});
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find("放样.dxf"), std::string::npos) << failure->message;
}

}  // namespace
}  // namespace tarnvel::io
