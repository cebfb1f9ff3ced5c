// The one entry point for pages as files: the backend the name asks for, the
// pages taken one at a time, a failure part-way leaving the old file, and the
// notes said once.

#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/gbk.h"
#include "output/page_dxf.h"
#include "output/page_svg.h"
#include "output/sheet_writer.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::output {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

Page Numbered(int n) {
    Page page;
    page.lines.push_back({PageRole::Frame, {{10, 10}, {410, 10}, {410, 287}}, true});
    page.texts.push_back({PageRole::Text, {20, 20}, "第 " + std::to_string(n) + " 页 纵断面图", 2.5, 0,
                          TextHAlign::Left, TextVAlign::Top});
    return page;
}

// Makes its pages as they are asked for, counting how many were ever held at
// once by the writer, and fails on the page `failAt` (0: never).
class CountingSource final : public PageSource {
public:
    CountingSource(int count, int failAt = 0) : count_(count), failAt_(failAt) {}
    std::size_t Count() const override { return static_cast<std::size_t>(count_); }
    bool Next(Page& page) override {
        if (made_ == count_) return false;
        ++made_;
        if (made_ == failAt_) throw std::bad_alloc();
        page = Numbered(made_);
        return true;
    }
    int Made() const { return made_; }

private:
    int count_, failAt_, made_ = 0;
};

TEST(SheetWriter, the_name_alone_picks_the_backend) {
    const struct {
        const char* path;
        std::optional<SheetFormat> format;
    } rows[] = {{"a.pdf", SheetFormat::Pdf},      {"图纸.DXF", SheetFormat::Dxf},  {"dir.pdf/a.Svg", SheetFormat::Svg},
                {"a.pdf.txt", std::nullopt},      {"a.pdfx", std::nullopt},        {"pdf", std::nullopt},
                {"a_pdf", std::nullopt},          {"", std::nullopt}};
    for (const auto& row : rows) EXPECT_EQ(SheetFormatOf(row.path), row.format) << row.path;
}

TEST(SheetWriter, every_backend_writes_the_pages_and_says_once_what_an_svg_leaves_out) {
    ScratchFolder folder;
    const struct {
        const char* name;
        int pages;
        std::size_t leftOut;
        const char* holds;
    } rows[] = {{"one.svg", 1, 0, "<svg"}, {"set.svg", 5, 4, "<svg"}, {"set.dxf", 5, 0, "ENTITIES"},
                {"set.PDF", 5, 0, "%PDF-"}};
    for (const auto& row : rows) {
        if (SheetFormatOf(row.name) == SheetFormat::Pdf && !CanWritePdf()) continue;
        const std::string path = folder.File(row.name);
        CountingSource pages(row.pages);
        SheetsWritten written;
        ASSERT_FALSE(WriteSheets(path, pages, "纵断面图", &written)) << row.name;
        EXPECT_NE(ReadBytes(path).find(row.holds), std::string::npos) << row.name;
        EXPECT_EQ(written.leftOut, row.leftOut) << row.name;
        const std::vector<std::string> notes = SheetNotes(written);
        ASSERT_EQ(notes.size(), row.leftOut > 0 ? 1u : 0u) << row.name;
        if (row.leftOut > 0) {
            EXPECT_NE(notes[0].find(std::to_string(row.leftOut) + " 张"), std::string::npos) << notes[0];
        }
        // An SVG never makes the pages it leaves out.
        EXPECT_EQ(pages.Made(), SheetFormatOf(row.name) == SheetFormat::Svg ? 1 : row.pages) << row.name;
    }
    // The SVG is the first page as the SVG backend writes it.
    EXPECT_EQ(ReadBytes(folder.File("set.svg")), PageSvg(Numbered(1)));
}

TEST(SheetWriter, a_dxf_written_page_by_page_is_the_dxf_of_the_whole_set) {
    // Long enough that the bytes pass through the sink's buffer many times.
    std::vector<Page> whole;
    for (int i = 1; i <= 300; ++i) whole.push_back(Numbered(i));
    whole[7].texts.push_back({PageRole::Text, {30, 30}, "€ ₩ 高程", 2.5, 0, TextHAlign::Left, TextVAlign::Top});
    std::vector<std::string> lostWhole;
    const std::string expected = PagesDxf(whole, &lostWhole);

    ScratchFolder folder;
    HeldPages pages(whole);
    SheetsWritten written;
    ASSERT_FALSE(WriteSheets(folder.File("set.dxf"), pages, "", &written));
    EXPECT_EQ(ReadBytes(folder.File("set.dxf")), expected);
    EXPECT_EQ(written.outsideGbk, lostWhole);
    EXPECT_EQ(written.outsideGbk, (std::vector<std::string>{"₩"}));
    ASSERT_EQ(SheetNotes(written).size(), 1u);
    EXPECT_NE(SheetNotes(written)[0].find("₩"), std::string::npos);
}

TEST(SheetWriter, a_failure_or_a_refusal_leaves_the_file_as_it_was) {
    ScratchFolder folder;
    const struct {
        const char* name;
        int pages, failAt;
    } rows[] = {{"a.dxf", 400, 250}, {"a.pdf", 40, 30}, {"a.svg", 3, 1}, {"a.dxf", 0, 0}, {"a.txt", 3, 0}};
    for (const auto& row : rows) {
        const std::string path = folder.File(row.name);
        WriteBytes(path, "the old sheets");
        CountingSource pages(row.pages, row.failAt);
        const auto failure = WriteSheets(path, pages, "纵断面图");
        ASSERT_TRUE(failure) << row.name;
        EXPECT_NE(failure->message.find(row.name), std::string::npos) << failure->message;
        EXPECT_EQ(ReadBytes(path), "the old sheets") << row.name;
        EXPECT_EQ(folder.Names().size(), 1u) << row.name;  // no temporary left behind
        std::filesystem::remove(path);
    }
}

TEST(SheetWriter, one_encoder_for_many_texts_encodes_each_as_alone) {
    // A character GBK lacks must not disturb the texts after it.
    const std::vector<std::string> texts = {"K0+120.000", "设计高程", "₩ 挖深", "", "填高 1.25 m", "\xff 坡度"};
    io::Utf8ToGbkEncoder encoder;
    std::vector<std::string> lostOnce, lostEach;
    for (const std::string& text : texts)
        EXPECT_EQ(encoder.Encode(text, &lostOnce), io::Utf8ToGbk(text, &lostEach)) << text;
    EXPECT_EQ(lostOnce, lostEach);
}

}  // namespace
}  // namespace tarnvel::output
