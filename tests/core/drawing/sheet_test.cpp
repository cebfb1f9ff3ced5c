// The 纵断面图 sheets read back as a surveyor reads them: how many sheets a
// road takes at a scale, that they join without gap or overlap, that the band
// table says what the listing says, that the design line lies where the
// profile puts it, and that no two texts cover each other.

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/calculator/number_text.h"
#include "core/drawing/sheet.h"
#include "core/drawing/drawn_ground.h"
#include "core/text/output_vocabulary.h"
#include "core/drawing/label_layout.h"
#include "core/text/messages.h"
#include "core/text/profile_text.h"
#include "core/profile/profile_listing.h"
#include "tests/profile_builders.h"
#include "tests/sheet_reading.h"

namespace tarnvel {
namespace {

using test::ByRadius;
using test::Point;

ProfileModel Road3km() {
    return {"主线", LengthUnit::Metre,
            {Point(0, 100), Point(800, 108, ByRadius(6000)), Point(1700, 96, ByRadius(8000)),
             Point(2400, 104, ByRadius(5000)), Point(3000, 99)},
            {}};
}

struct SheetCase {
    const char* name;
    ProfileModel model;
    SheetOptions options;
    bool ground = false;
    std::size_t sheets = 0;
    bool datumSteps = false;  // some sheet needs more than one datum
};

void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.name; }

SheetOptions With(SheetPaper paper, int h, int v) {
    SheetOptions o;
    o.paper = paper;
    o.horizontalScale = h;
    o.verticalScale = v;
    o.project = "示例公路";
    return o;
}

std::vector<SheetCase> Cases() {
    ProfileModel chained = {"断链", LengthUnit::Metre,
                            {Point(0, 50), Point(1000, 56, ByRadius(4000)), Point(2000, 49, ByRadius(6000)),
                             Point(3000, 52)},
                            {{1500, 1480}}};
    ProfileModel steep = {"陡坡", LengthUnit::Metre, {Point(0, 300), Point(1000, 380)}, {}};
    SheetOptions part = With(SheetPaper::A3, 2000, 100);
    part.from = Station{100, 0};
    part.to = Station{900, 0};
    return {
        // A3 at 1:2000 holds 700 m: 3 km from K0+000 takes five sheets.
        {"a3_2000_with_ground", Road3km(), With(SheetPaper::A3, 2000, 200), true, 5},
        // A4 at 1:1000 holds 240 m: thirteen sheets.
        {"a4_1000_without_ground", Road3km(), With(SheetPaper::A4, 1000, 100), false, 13},
        // A long chain adds 20 m of road: 3020 m at 1700 m a sheet.
        {"a3_5000_long_chain", chained, With(SheetPaper::A3, 5000, 500), true, 2},
        // 8 % over 800 m at 1:100 climbs 640 mm of paper: the datum steps.
        {"a3_steep_part_of_road", steep, part, false, 2, true},
    };
}

class SheetTest : public testing::TestWithParam<SheetCase> {};

struct Box {
    double x0, y0, x1, y1;
};

Box BoxOf(const PageText& t) {
    const double w = PageTextWidth(t.text, t.height), h = t.height;
    const double start = t.hAlign == TextHAlign::Left ? 0 : t.hAlign == TextHAlign::Centre ? -w / 2 : -w;
    const double across = t.vAlign == TextVAlign::Bottom ? -h : t.vAlign == TextVAlign::Middle ? -h / 2 : 0;
    if (t.angle == 90) return {t.anchor.x + across, t.anchor.y - start - w, t.anchor.x + across + h, t.anchor.y - start};
    return {t.anchor.x + start, t.anchor.y + across, t.anchor.x + start + w, t.anchor.y + across + h};
}

TEST_P(SheetTest, sheets_join_and_read_back_as_the_profile) {
    const SheetCase& c = GetParam();
    const Profile profile = test::Resolved(c.model);
    const double end = profile.EndStation();
    // A ground line that leaves and meets the design several times.
    std::vector<double> surveyed = {150, 700, 1300, 2000, end - 100}, offsets = {1, -3, 2, -1.5, 1};
    if (!c.ground) surveyed = {0, end}, offsets = {0, 0};
    std::vector<double> elevations;
    for (std::size_t i = 0; i < surveyed.size(); ++i) elevations.push_back(profile.At(surveyed[i]).elevation + offsets[i]);
    const auto ground = test::TestGround(profile, surveyed, elevations);
    const SheetSet set = BuildSheets(profile, c.options, c.ground ? ground.get() : nullptr);
    ASSERT_FALSE(set.problem) << DescribeSheetProblem(*set.problem);
    ASSERT_EQ(set.pages.size(), c.sheets);

    // Sheets start at a round station and follow one another without gap or overlap.
    const double from = c.options.from ? c.options.from->value : 0, to = c.options.to ? c.options.to->value : end;
    EXPECT_LE(set.frames.front().from, from);
    EXPECT_EQ(std::fmod(set.frames.front().from, 20.0), 0);
    EXPECT_GE(set.frames.back().to, to);
    bool steps = false;
    for (std::size_t i = 0; i < set.frames.size(); ++i) {
        const SheetFrame& f = set.frames[i];
        EXPECT_LE((f.to - f.from) * f.xPerUnit, f.right - f.left + 1e-9);
        EXPECT_DOUBLE_EQ(f.xPerUnit, 1000.0 / c.options.horizontalScale);
        if (i > 0) {
            EXPECT_EQ(f.from, set.frames[i - 1].to);
        }
        steps = steps || f.datums.size() > 1;
    }
    EXPECT_EQ(steps, c.datumSteps);

    // Each page: its bands, its title block and its number.
    test::BandColumns all;
    std::vector<std::vector<double>> shown(set.pages.size());  // x of every column, by page
    for (std::size_t i = 0; i < set.pages.size(); ++i) {
        const Page& page = set.pages[i];
        std::vector<std::string> want = {"设计高程", "里程桩号", "纵断面图", "示例公路",
                                         "第 " + std::to_string(i + 1) + " 页 共 " + std::to_string(c.sheets) + " 页",
                                         "横 1:" + std::to_string(c.options.horizontalScale) + "  竖 1:" +
                                             std::to_string(c.options.verticalScale)};
        if (c.ground) want.insert(want.end(), {"地面高程", "填高", "挖深"});
        for (const auto& w : want)
            EXPECT_TRUE(std::any_of(page.texts.begin(), page.texts.end(), [&](const PageText& t) { return t.text == w; }))
                << "page " << i + 1 << " lacks " << w;
        if (!c.ground) {
            for (const auto& t : page.texts) EXPECT_NE(t.text, "地面高程");
        }
        for (auto& [station, cells] : test::ReadBands(test::TextsOf(page))) {
            all[station] = cells;
            shown[i].push_back(std::stod(cells.at("x")));
        }

        // The design line lies where the profile puts it, inside the drawing area.
        const SheetFrame& f = set.frames[i];
        for (const auto& line : page.lines) {
            if (line.role != PageRole::DesignLine) continue;
            for (const auto& p : line.points) {
                EXPECT_GE(p.y, f.top);
                EXPECT_LE(p.y, f.bottom);
                const auto found = test::ScaleBack(f, p.x, p.y);
                EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const auto& sz) {
                    return std::abs(profile.At(profile.OnProfile(sz.first)).elevation - sz.second) < 1e-6;
                })) << "page " << i + 1 << " at x " << p.x;
            }
        }
        // No text covers another (the grade band's diagonal texts run in their own row).
        std::vector<Box> boxes;
        for (const auto& t : page.texts)
            if (t.angle == 0 || t.angle == 90) boxes.push_back(BoxOf(t));
        for (std::size_t a = 0; a < boxes.size(); ++a)
            for (std::size_t b = a + 1; b < boxes.size(); ++b) {
                const Box &p = boxes[a], &q = boxes[b];
                const bool overlap = p.x0 < q.x1 - 1e-9 && q.x0 < p.x1 - 1e-9 && p.y0 < q.y1 - 1e-9 && q.y0 < p.y1 - 1e-9;
                EXPECT_FALSE(overlap) << "page " << i + 1 << ": texts " << a << " and " << b;
            }
    }

    // The band says what the listing says at every whole 20 m station.
    const Station first{std::ceil(from / 20) * 20, 0};
    const Station last = c.options.to ? *c.options.to : profile.Model().points.back().station;
    std::size_t rows = 0;
    ListProfile(profile, {first, last, 20, false}, 1'000'000, [&](const ProfileListingRow& row) {
        ++rows;
        const auto column = all.find(SheetStation(row.label));
        if (column == all.end()) {
            // Left out only where its text would cover a more important column's.
            std::size_t i = 0;
            while (i + 1 < set.frames.size() && row.internal > set.frames[i].to) ++i;
            const double x = set.frames[i].left + (row.internal - set.frames[i].from) * set.frames[i].xPerUnit;
            EXPECT_TRUE(std::any_of(shown[i].begin(), shown[i].end(), [&](double c) { return std::abs(c - x) < 3; }))
                << SheetStation(row.label) << " is missing";
            return;
        }
        auto cell = [&](const char* name) { return column->second.count(name) ? column->second.at(name) : ""; };
        EXPECT_EQ(cell("设计高程"), FixedText(row.value.elevation, 3)) << SheetStation(row.label);
        const auto g = c.ground ? ground->line->At(row.internal) : std::nullopt;
        EXPECT_EQ(cell("地面高程"), g ? FixedText(*g, 3) : "") << SheetStation(row.label);
        if (g) {
            const double d = row.value.elevation - *g;
            const std::string amount = FixedText(std::abs(d), 3);
            EXPECT_EQ(cell(d > 0 ? "填高" : "挖深"), amount == "0.000" ? "" : amount) << SheetStation(row.label);
            EXPECT_EQ(cell(d > 0 ? "挖深" : "填高"), "") << SheetStation(row.label);
        }
    });
    EXPECT_GT(rows, 10u);
    // Every 填挖交界 and every PVI has its column.
    if (c.ground) {
        for (const double z : ground->zeroPoints) EXPECT_TRUE(all.count(SheetStation(profile.LabelOf(z)))) << z;
    }
    for (const auto& e : profile.Elements())
        EXPECT_TRUE(all.count(SheetStation(profile.LabelOf(e.pviStation)))) << e.pviStation;
}

INSTANTIATE_TEST_SUITE_P(Sheets, SheetTest, testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    SheetOptions options;
    SheetProblemKind kind;
};

TEST(SheetProblems, unusable_choices_are_refused_with_a_reason_and_no_pages) {
    auto with = [](auto change) {
        SheetOptions o;
        change(o);
        return o;
    };
    const RefusedCase cases[] = {
        {"scale_not_offered", with([](SheetOptions& o) { o.horizontalScale = 1500; }), SheetProblemKind::HorizontalScale},
        {"exaggeration_above_50", with([](SheetOptions& o) { o.verticalScale = 20; }), SheetProblemKind::VerticalScale},
        {"exaggeration_below_1", with([](SheetOptions& o) { o.verticalScale = 4000; }), SheetProblemKind::VerticalScale},
        // A vertical scale typed into the window without bound: 50 times it
        // does not fit an int.
        {"vertical_scale_beyond_int", with([](SheetOptions& o) { o.verticalScale = 2'000'000'000; }), SheetProblemKind::VerticalScale},
        {"vertical_scale_negative", with([](SheetOptions& o) { o.verticalScale = -100; }), SheetProblemKind::VerticalScale},
        {"to_before_from", with([](SheetOptions& o) { o.from = Station{900, 0}; o.to = Station{100, 0}; }), SheetProblemKind::Range},
        {"from_in_short_chain_gap", with([](SheetOptions& o) { o.from = Station{1510, 0}; }), SheetProblemKind::Range},
        {"from_beyond_the_end", with([](SheetOptions& o) { o.to = Station{500000, 0}; }), SheetProblemKind::Range},
        {"interval_zero", with([](SheetOptions& o) { o.interval = 0; }), SheetProblemKind::Interval},
        {"interval_wider_than_a_sheet", with([](SheetOptions& o) { o.interval = 1000; }), SheetProblemKind::Interval},
        {"too_many_sheets", with([](SheetOptions& o) { o.horizontalScale = 500; o.verticalScale = 50; o.paper = SheetPaper::A4; }), SheetProblemKind::TooManySheets},
    };
    ProfileModel model = Road3km();
    model.chains = {{1500, 1520}};  // a short chain: K1+500 … K1+520 do not exist
    model.points[2].station.value += 20;
    model.points[3].station.value += 20;
    model.points[4].station.value += 20;
    model.points.push_back(Point(400000, 120));
    const Profile profile = test::Resolved(model);
    for (const auto& c : cases) {
        const SheetSet set = BuildSheets(profile, c.options);
        ASSERT_TRUE(set.problem) << c.name;
        EXPECT_EQ(set.problem->kind, c.kind) << c.name;
        EXPECT_TRUE(set.pages.empty()) << c.name;
        // The reason is the user's own language, never a program's inner
        // text: no Latin words, and more than the heading.
        const std::string message = DescribeSheetProblem(*set.problem);
        EXPECT_GT(message.size(), std::string("出图范围不可用：").size()) << c.name;
        EXPECT_FALSE(std::any_of(message.begin(), message.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; }))
            << c.name << ": " << message;
    }
}

TEST(SheetTitle, empty_fields_stay_empty_and_given_ones_are_written_with_controls_as_spaces) {
    const Profile profile = test::Resolved(Road3km());
    SheetOptions options;
    // Control characters pasted with a field are spaces on the page, so
    // that every output draws the same text.
    options.designer = "李\t工";
    options.drawingNumber = "S3\x1b[2J\xc2\x85-1";
    const SheetSet set = BuildSheets(profile, options);
    ASSERT_FALSE(set.problem);
    const auto& texts = set.pages.front().texts;
    double stationRow = 0;
    for (const auto& t : texts)
        if (t.text == "里程桩号") stationRow = t.anchor.y;
    // Below the band: the ten cell names, then only what was given and what
    // the sheet knows itself (图名, 比例, 页次) — no stand-in for the others.
    std::vector<std::string> title;
    for (const auto& t : texts)
        if (t.anchor.y > stationRow + 11) title.push_back(t.text);
    std::sort(title.begin(), title.end());
    std::vector<std::string> want = {"设计单位", "项目名称", "图名", "比例", "设计", "复核", "审核", "图号", "日期", "页次",
                                     "李 工", "S3 [2J -1", "纵断面图", "横 1:2000  竖 1:200", "第 1 页 共 5 页"};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(title, want);
}

// A dense survey (a scanner's, a point every centimetre) is drawn as the
// paper shows it: a bounded number of vertices a millimetre, still reaching
// every surveyed point's height in its column, while the band keeps the
// exact ground elevations.
TEST(SheetDrawnGround, a_dense_survey_is_thinned_to_the_paper_keeping_its_extremes_and_exact_bands) {
    const Profile profile = test::Resolved(Road3km());
    GroundModel model;
    model.stations = GroundStations::Internal;
    for (int i = 0; i <= 300'000; ++i) {
        const double s = i * 0.01;
        // Above the design throughout: every band column is a station's own.
        const double z = profile.At(s).elevation + 3 + 1.5 * std::sin(s / 40) + 0.05 * (i % 7) - 0.3 * (i % 1000 == 0);
        model.points.push_back({Station{s, 0}, z, 0});
    }
    const std::optional<GroundLine> line = GroundLine::Make(model, profile);
    ASSERT_TRUE(line);
    const DrawnGround ground = MakeDrawnGround(profile, *line);
    const SheetSet set = BuildSheets(profile, With(SheetPaper::A3, 2000, 200), &ground);
    ASSERT_FALSE(set.problem);
    constexpr double kColumn = 0.25;
    std::size_t checkedBands = 0;
    for (std::size_t i = 0; i < set.frames.size(); ++i) {
        const SheetFrame& f = set.frames[i];
        ASSERT_EQ(f.datums.size(), 1u);
        std::map<long, std::pair<double, double>> drawn;  // column: lowest and highest y drawn
        std::size_t vertices = 0;
        for (const auto& l : set.pages[i].lines) {
            if (l.role != PageRole::GroundLine) continue;
            vertices += l.points.size();
            for (const auto& p : l.points) {
                auto [it, fresh] = drawn.try_emplace(std::lround(std::floor((p.x - f.left) / kColumn)), p.y, p.y);
                it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
            }
        }
        EXPECT_LE(vertices, static_cast<std::size_t>(8 * (f.right - f.left) / kColumn)) << "page " << i + 1;
        const auto& s = line->Stations();
        const auto& z = line->Elevations();
        for (std::size_t k = 0; k < s.size(); ++k) {
            if (s[k] < f.from || s[k] > f.to) continue;
            const double x = f.left + (s[k] - f.from) * f.xPerUnit;
            const double y = f.bottom - (z[k] - f.datums[0].datum) * f.yPerUnit;
            // Its column, or a neighbour where it lies on their border.
            const long column = std::lround(std::floor((x - f.left) / kColumn));
            double low = INFINITY, high = -INFINITY;
            for (long c = column - 1; c <= column + 1; ++c)
                if (const auto it = drawn.find(c); it != drawn.end())
                    low = std::min(low, it->second.first), high = std::max(high, it->second.second);
            EXPECT_GE(y, low - 1e-6) << s[k];
            EXPECT_LE(y, high + 1e-6) << s[k];
        }
        for (const auto& [label, cells] : test::ReadBands(test::TextsOf(set.pages[i]))) {
            // The whole 20 m columns, whose labels are their stations exactly.
            const auto g = cells.find("地面高程");
            const std::optional<Station> station = ParseStation(label);
            ASSERT_TRUE(station) << label;
            if (g == cells.end() || std::fmod(station->value, 20) != 0) continue;
            EXPECT_EQ(g->second, FixedText(*line->At(profile.InternalOf(*station)), 3)) << label;
            ++checkedBands;
        }
    }
    EXPECT_GT(checkedBands, 100u);
}

// The 竖曲线要素表 on its own pages: the header on every page, every row once
// and in order with the texts of `profile elements`, and every page — drawing
// or table — counted in 第 N 页 共 M 页.
// A road rising and falling every 100 m, a curve at each PVI between its ends.
ProfileModel Undulating(int spans) {
    ProfileModel model{"主线", LengthUnit::Metre, {Point(0, 100)}, {}};
    for (int i = 1; i < spans; ++i) model.points.push_back(Point(i * 100.0, 100 + (i % 2 ? 3 : -3), ByRadius(500)));
    model.points.push_back(Point(spans * 100.0, 100));
    return model;
}

TEST(SheetElementsTable, follows_the_sheets_with_its_header_on_every_page) {
    const Profile profile = test::Resolved(Undulating(80));
    // Stations in K notation, as every table writes them.
    TextOptions kStations;
    kStations.stations = StationStyle::K;
    const std::vector<std::vector<std::string>> cells = ElementsTableCells(profile, kStations);
    for (const SheetPaper paper : {SheetPaper::A3, SheetPaper::A4}) {
        SCOPED_TRACE(paper == SheetPaper::A3 ? "A3" : "A4");
        SheetOptions options;
        options.paper = paper;
        const std::size_t sheets = BuildSheets(profile, options).pages.size();
        options.elementsTable = true;
        const SheetSet set = BuildSheets(profile, options);
        ASSERT_FALSE(set.problem);
        ASSERT_GT(set.pages.size(), sheets + 1) << "the 79 rows take more than one page";
        EXPECT_EQ(set.frames.size(), sheets);
        const std::string total = " 页 共 " + std::to_string(set.pages.size()) + " 页";
        std::vector<std::vector<std::string>> rows;  // the table's rows as read from the pages
        for (std::size_t i = 0; i < set.pages.size(); ++i) {
            const auto& texts = set.pages[i].texts;
            auto has = [&](const std::string& text) {
                return std::any_of(texts.begin(), texts.end(), [&](const PageText& t) { return t.text == text; });
            };
            EXPECT_TRUE(has("第 " + std::to_string(i + 1) + total)) << "page " << i + 1;
            if (i < sheets) continue;
            EXPECT_TRUE(has("竖曲线要素表"));
            // Cells by their row (y) and column (x): the first row is the header.
            std::map<long, std::map<long, std::string>> grid;
            double top = 1e9, bottom = 0;  // the header's row; the title block
            for (const auto& t : texts) {
                if (t.text == cells.front().front()) top = t.anchor.y;
                if (t.text == "页次") bottom = t.anchor.y;
            }
            for (const auto& t : texts)
                if (t.anchor.y >= top - 1e-9 && t.anchor.y < bottom - 1)
                    grid[std::lround(t.anchor.y * 100)][std::lround(t.anchor.x * 100)] = t.text;
            ASSERT_FALSE(grid.empty()) << "page " << i + 1;
            std::vector<std::string> header;
            for (const auto& [x, text] : grid.begin()->second) header.push_back(text);
            EXPECT_EQ(header, cells.front()) << "page " << i + 1;
            for (auto row = std::next(grid.begin()); row != grid.end(); ++row) {
                std::vector<std::string> texts;
                for (const auto& [x, text] : row->second) texts.push_back(text);
                rows.push_back(texts);
            }
        }
        // Every row once, in order, with the same words and rounding (cells
        // left empty in the table are not drawn).
        ASSERT_EQ(rows.size(), cells.size() - 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<std::string> want;
            for (const auto& cell : cells[r + 1])
                if (!cell.empty()) want.push_back(cell);
            EXPECT_EQ(rows[r], want) << "row " << r + 1;
        }
    }
}

// Every 变坡点 is a column of the 设计高程 and 里程桩号 rows, with or
// without a curve, however near the start, another PVI or a 20 m station
// (the InfraModel road's second point lies 3.78 m from its start). The
// start, the end and the high or low points are labelled clear of the
// design line, the ground line and the leaders, a ground climbing steeply
// from the start included.
// Sheets made one at a time are the sheets made all at once, and each
// drawing sheet's frame is at hand while it is the last made.
TEST(SheetPages, one_at_a_time_they_are_the_whole_set_with_their_frames) {
    const Profile profile = test::Resolved(Undulating(60));
    SheetOptions options;
    options.elementsTable = true;
    const SheetSet whole = BuildSheets(profile, options);
    ASSERT_FALSE(whole.problem);
    SheetPages pages(profile, options);
    ASSERT_FALSE(pages.Problem());
    ASSERT_EQ(pages.Count(), whole.pages.size());
    EXPECT_EQ(pages.Frame(), nullptr);
    Page page;
    for (std::size_t i = 0; i < whole.pages.size(); ++i) {
        ASSERT_TRUE(pages.Next(page)) << i;
        ASSERT_EQ(page.texts.size(), whole.pages[i].texts.size()) << i;
        for (std::size_t t = 0; t < page.texts.size(); ++t) EXPECT_EQ(page.texts[t].text, whole.pages[i].texts[t].text);
        EXPECT_EQ(page.lines.size(), whole.pages[i].lines.size()) << i;
        const SheetFrame* frame = pages.Frame();
        ASSERT_EQ(frame != nullptr, i < whole.frames.size()) << i;
        if (frame) {
            EXPECT_EQ(frame->from, whole.frames[i].from);
            EXPECT_EQ(frame->datums.size(), whole.frames[i].datums.size());
        }
    }
    EXPECT_FALSE(pages.Next(page));
    // Refused choices make no pages at all.
    options.horizontalScale = 1500;
    SheetPages refused(profile, options);
    EXPECT_TRUE(refused.Problem());
    EXPECT_EQ(refused.Count(), 0u);
    EXPECT_FALSE(refused.Next(page));
}

TEST(SheetBands, every_pvi_is_a_column_and_the_end_labels_stand_clear_of_the_lines) {
    const ProfileModel models[] = {
        {"近起点", LengthUnit::Metre,
         {Point(0, 16.881249), Point(3.780491, 16.933442), Point(77.651516, 16.564087, test::Arc(1500)),
          Point(143.344365, 18.366885, test::Arc(2000)), Point(288.117726, 17.227053)},
         {}},
        {"近整桩", LengthUnit::Metre,
         {Point(0, 100), Point(401.2, 104), Point(405.5, 103.9), Point(700, 100, ByRadius(3000)), Point(1000, 102)},
         {}},
    };
    for (const ProfileModel& model : models) {
        SCOPED_TRACE(model.name);
        const Profile profile = test::Resolved(model);
        const double start = profile.StartStation(), end = profile.EndStation();
        const double z0 = profile.At(start).elevation, z1 = profile.At(end).elevation;
        const auto ground = test::TestGround(profile, {start, start + 60, end}, {z0, z0 + 3, z1 - 1});
        const SheetSet set = BuildSheets(profile, SheetOptions{}, ground.get());
        ASSERT_FALSE(set.problem);
        test::BandColumns bands;
        std::size_t labels = 0;
        for (const Page& page : set.pages) {
            bands.merge(test::ReadBands(test::TextsOf(page)));
            PageSpace lines(PageBox{0, 0, page.width, page.height});
            for (const PageLine& line : page.lines)
                if (line.role == PageRole::DesignLine || line.role == PageRole::GroundLine || line.role == PageRole::Curve)
                    lines.AddPolyline(line.points, line.closed);
            for (const PageText& t : page.texts) {
                const bool endLabel = t.text.starts_with("起点 ") || t.text.starts_with("终点 ") || t.text.starts_with("H=");
                if (!endLabel && !t.text.starts_with(std::string(ExtremeWord(true))) &&
                    !t.text.starts_with(std::string(ExtremeWord(false))))
                    continue;
                ++labels;
                EXPECT_TRUE(lines.FreeOfSegments(TextBounds(t))) << t.text;
            }
        }
        EXPECT_GE(labels, 4u) << "start and end, each with its elevation";
        for (const CurveElementsRow& e : profile.Elements()) {
            const std::string station = SheetStation(profile.LabelOf(e.pviStation));
            ASSERT_TRUE(bands.count(station)) << station;
            EXPECT_EQ(bands[station]["设计高程"], SheetNumber(profile.At(e.pviStation).elevation, SheetValue::Elevation))
                << station;
        }
    }
}

}  // namespace
}  // namespace tarnvel
