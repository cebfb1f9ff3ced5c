// Files made to hurt: huge, absurdly shaped, mixed encodings, damaged cells
// of megabytes, design files that must not be written over, and a write cut
// short by a signal. Each is refused (or read) cleanly, in bounded memory,
// with a short message that names the place.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>

#include "io/atomic_write.h"
#include "io/csv_records.h"
#include "io/gbk.h"
#include "io/parameter_file.h"
#include "io/profile_files.h"
#include "tests/io/child_process.h"
#include "tests/io/profile_model_helpers.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

// Peak memory of the process, in bytes.
std::size_t PeakBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

// Runs `read` in a child and returns its message with the peak memory the
// read added, as "<MiB>|message".
std::string MessageAndGrowth(const std::function<std::string()>& read) {
    return testing::InChild([&] {
        const std::size_t before = PeakBytes();
        const std::string message = read();
        return std::to_string((PeakBytes() - before) >> 20) + "|" + message;
    });
}

std::size_t GrowthMiB(const std::string& result) { return std::stoul(result.substr(0, result.find('|'))); }

std::string CsvMessage(const std::string& bytes) {
    const Result<ProfileModel> read = ParseProfileCsv(bytes, "t.csv");
    return read.ok() ? "<read>" : read.failure().message;
}

std::string LandXmlMessage(const std::string& bytes) {
    const Result<ProfileModel> read = ParseLandXml(bytes, {}, "t.xml");
    return read.ok() ? "<read>" : read.failure().message;
}

const std::string kHeader = "桩号,高程\n";

// ---- Size --------------------------------------------------------------------

TEST(HugeFiles, are_refused_by_their_size_unread_and_called_too_large) {
    testing::ScratchFolder folder;
    const struct {
        const char* name;
        std::string start;  // the rest of the 2 GiB is a hole
    } cases[] = {
        {"zeros", ""},
        {"landxml", "<?xml version=\"1.0\"?>\n<LandXML><Alignments><Alignment name=\"A\"><Profile><ProfAlign>"},
        {"csv", kHeader + "0,1\n"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.File(std::string(c.name) + ".dat");
        testing::WriteBytes(path, c.start);
        ASSERT_EQ(::truncate(path.c_str(), off_t{2} << 30), 0);
        const std::string result = MessageAndGrowth([&] {
            const Result<ProfileModel> read = ReadProfileFile(path);
            return read.ok() ? std::string("<read>") : read.failure().message;
        });
        EXPECT_LT(GrowthMiB(result), 64u) << c.name << ": " << result;
        EXPECT_NE(result.find("大于256MB"), std::string::npos) << c.name << ": " << result;
        EXPECT_EQ(result.find("不是纵断面文件"), std::string::npos) << c.name << ": " << result;
    }
}

// ---- Messages quote an excerpt ------------------------------------------------

TEST(DamagedCells, are_quoted_as_a_short_excerpt_cut_between_characters) {
    std::string han;
    for (int i = 0; i < 300000; ++i) han += "桩";  // three bytes each: 40 falls inside one
    const std::string odd = "a" + han;            // and at another place in the character
    const struct {
        const char* name;
        std::string message;
        std::string_view excerptStart;
    } cases[] = {
        {"csv_number", CsvMessage(kHeader + "0," + odd + "\n"), "a桩桩"},
        {"csv_station", CsvMessage(kHeader + han + ",1\n"), "桩桩"},
        {"csv_kind", CsvMessage("桩号,高程,类型\n0,1," + han + "\n"), "桩桩"},
        {"landxml_point_text",
         LandXmlMessage("<LandXML><Alignments><Alignment name=\"A\"><Profile><ProfAlign><PVI>" + odd +
                        "</PVI></ProfAlign></Profile></Alignment></Alignments></LandXML>"),
         "a桩桩"},
        {"landxml_attribute",
         LandXmlMessage("<LandXML><Alignments><Alignment name=\"A\"><Profile><ProfAlign><PVI>0 1</PVI>"
                        "<ParaCurve length=\"" + han + "\">5 1</ParaCurve><PVI>10 1</PVI></ProfAlign></Profile>"
                        "</Alignment></Alignments></LandXML>"),
         "桩桩"},
        {"landxml_unit",
         LandXmlMessage("<LandXML><Units><Metric linearUnit=\"" + odd +
                        "\"/></Units><Alignments><Alignment name=\"A\"><Profile><ProfAlign><PVI>0 1</PVI>"
                        "</ProfAlign></Profile></Alignment></Alignments></LandXML>"),
         "a桩"},
    };
    for (const auto& c : cases) {
        EXPECT_LT(c.message.size(), 400u) << c.name << ": " << c.message.substr(0, 400);
        EXPECT_TRUE(IsValidUtf8(c.message)) << c.name;
        EXPECT_NE(c.message.find(c.excerptStart), std::string::npos) << c.name << ": " << c.message;
        EXPECT_NE(c.message.find("…"), std::string::npos) << c.name << ": " << c.message;
    }
}

// ---- Shapes --------------------------------------------------------------------

TEST(AbsurdCsvShapes, are_refused_early_in_memory_near_the_file_size) {
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"million_columns_header", std::string(1000000, ',') + "\n0,1\n", "第1行超过1024列"},
        {"header_of_commas", "桩号" + std::string(32u << 20, ',') + "高程\n0,1\n", "第1行超过1024列"},
        {"row_of_commas", kHeader + "0,1\n" + std::string(32u << 20, ',') + "\n", "第3行超过1024列"},
        {"title_row_of_commas", "标题" + std::string(2000, ',') + "\n" + kHeader + "0,1\n", "第1行超过1024列"},
    };
    for (const auto& c : cases) {
        const std::string result = MessageAndGrowth([&] { return CsvMessage(c.bytes); });
        EXPECT_NE(result.find(c.message), std::string::npos) << c.name << ": " << result.substr(0, 300);
        // The text itself is already in memory: the read adds a fraction of it.
        EXPECT_LT(GrowthMiB(result), 16u + 2 * (c.bytes.size() >> 20)) << c.name << ": " << result.substr(0, 300);
    }
}

TEST(CsvEncodingsAndSeparators, are_told_apart_and_named) {
    const std::string gbkRow = Utf8ToGbk("100,12,抛物线,3000\n");
    const std::string utf8 = "桩号,高程,类型,半径\n0,10,,\n" + gbkRow + "200,11,,\n";
    const struct {
        const char* name;
        std::string bytes;
        const char* message;  // nullptr: reads
    } cases[] = {
        {"utf8_with_one_gbk_row", utf8, "第3行含有不是UTF-8编码的文字"},
        {"gbk_throughout", Utf8ToGbk("桩号,高程,类型,半径\n0,10,,\n100,12,抛物线,3000\n200,11,,\n"), nullptr},
        {"semicolons", "桩号;高程\n0;10\n100;11\n", "各列以“;”分隔，无法识别"},
        {"semicolons_with_bom", "\xEF\xBB\xBFstation;elevation\n0;10\n", "各列以“;”分隔，无法识别"},
        {"utf16_without_bom", std::string("s\0t\0a\0t\0i\0o\0n\0,\0z\0\n\0", 20), "UTF-16"},
    };
    for (const auto& c : cases) {
        const std::string message = CsvMessage(c.bytes);
        if (!c.message) {
            EXPECT_EQ(message, "<read>") << c.name;
            continue;
        }
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    }
}

// The streamed records split as the kept ones always did.
TEST(CsvRecordReader, splits_quotes_line_ends_and_blanks_as_spreadsheets_write_them) {
    const struct {
        const char* name;
        std::string text;
        std::vector<std::vector<std::string>> records;
    } cases[] = {
        {"quoted_separator_and_doubled_quote", "a,\"b,\"\"c\"\"\",d\r\n", {{"a", "b,\"c\"", "d"}}},
        {"blanks_before_a_quote_kept", "  \"x\"y,z\n", {{"  xy", "z"}}},
        {"quote_inside_a_cell_is_a_letter", "ab\"c,d\n", {{"ab\"c", "d"}}},
        {"cr_lf_and_lone_cr", "1\r2\r\n3\n", {{"1"}, {"2"}, {"3"}}},
        {"line_break_in_quotes_is_one_record", "\"a\nb\",c\nd\n", {{"a\nb", "c"}, {"d"}}},
        {"last_line_without_end", "a,b\nc", {{"a", "b"}, {"c"}}},
        {"trailing_blank_text_is_no_record", "a\n  ", {{"a"}}},
        {"trailing_separator_is_a_record", "a\n,", {{"a"}, {"", ""}}},
    };
    for (const auto& c : cases) {
        CsvRecordReader reader(c.text, ',');
        CsvRecordView record;
        std::vector<std::vector<std::string>> got;
        while (reader.Next(record) == CsvRecordReader::Status::Record)
            got.emplace_back(record.cells.begin(), record.cells.end());
        EXPECT_EQ(got, c.records) << c.name;
    }
}

// ---- LandXML -------------------------------------------------------------------

std::string Alignment(std::string_view name, std::string_view profiles, std::string_view geometry = {}) {
    return "<Alignment name=\"" + std::string(name) + "\">" + std::string(geometry) + "<Profile>" +
           std::string(profiles) + "</Profile></Alignment>";
}

std::string LandXml(std::string_view alignments, std::string_view more = {}) {
    return "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\">" +
           std::string(more) + "<Alignments>" + std::string(alignments) + "</Alignments></LandXML>";
}

const std::string kProfAlign = "<ProfAlign name=\"P\"><PVI>0 10</PVI><PVI>100 11</PVI></ProfAlign>";

TEST(LandXmlChoice, two_alignments_of_one_name_are_ambiguous_not_the_first) {
    const std::string bytes = LandXml(Alignment("A", kProfAlign) + Alignment("A", kProfAlign));
    for (std::string_view name : {"A/P", "P"}) {
        const Result<ProfileModel> read = ParseLandXml(bytes, name, "t.xml");
        ASSERT_FALSE(read.ok()) << name;
        EXPECT_NE(read.failure().message.find("2个纵断面"), std::string::npos) << read.failure().message;
    }
}

TEST(LandXmlContent, one_parse_gives_names_model_alignment_and_what_else_the_file_holds) {
    const std::string geometry = "<CoordGeom><Line><Start>100 200</Start><End>300 400</End></Line></CoordGeom>";
    const std::string surfaces = "<Surfaces><Surface name=\"EG\"/></Surfaces>";
    const std::string second = "<ProfAlign name=\"Q\"><PVI>0 1</PVI><PVI>9 2</PVI></ProfAlign>";
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> beyond;
    } cases[] = {
        {"written_by_this_program", LandXmlBytes(testing::EveryKind(), "路线"), {}},
        {"design_file",
         LandXml(Alignment("路线", kProfAlign + second, geometry) + Alignment("B", kProfAlign), surfaces),
         {"另外2个纵断面", "另外1条线路", "地面模型（Surfaces）", "平面线形（CoordGeom）"}},
        {"ground_line", LandXml(Alignment("路线", kProfAlign + "<ProfSurf name=\"EG\"/>")), {"地面线（ProfSurf）"}},
    };
    for (const auto& c : cases) {
        std::string bytes = c.bytes;
        const Result<LandXmlContent> read = ParseLandXmlInPlace(bytes, {}, "t.xml");
        ASSERT_TRUE(read.ok()) << c.name << ": " << read.failure().message;
        EXPECT_EQ(read.value().alignment, "路线") << c.name;
        EXPECT_FALSE(read.value().model.points.empty()) << c.name;
        std::vector<std::string> beyond = read.value().beyondProfile, expected = c.beyond;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(beyond, expected) << c.name;
    }
}

TEST(LandXmlEncodings, utf16_with_or_without_mark_is_read_as_xml) {
    const std::string utf8 = LandXml(Alignment("A", kProfAlign));
    const auto utf16 = [&](bool mark, bool big) {
        std::string out = mark ? (big ? "\xFE\xFF" : "\xFF\xFE") : "";
        for (char c : utf8) {
            if (big) out += '\0';
            out += c;
            if (!big) out += '\0';
        }
        return out;
    };
    testing::ScratchFolder folder;
    for (const bool mark : {true, false}) {
        for (const bool big : {true, false}) {
            const std::string path = folder.File("u.xml");
            testing::WriteBytes(path, utf16(mark, big));
            const Result<ProfileModel> read = ReadProfileFile(path);
            ASSERT_TRUE(read.ok()) << mark << big << ": " << read.failure().message;
            EXPECT_EQ(read.value().points.size(), 2u);
        }
    }
}

TEST(LandXmlContentAt, tells_what_writing_over_a_file_would_lose) {
    testing::ScratchFolder folder;
    const std::string design = folder.File("design.xml"), huge = folder.File("huge.xml"), csv = folder.File("p.csv");
    testing::WriteBytes(design, LandXml(Alignment("A", kProfAlign + kProfAlign)));
    testing::WriteBytes(huge, LandXml(Alignment("A", kProfAlign)));
    ASSERT_EQ(::truncate(huge.c_str(), off_t{300} << 20), 0);
    testing::WriteBytes(csv, kHeader + "0,1\n10,2\n");
    const struct {
        std::string path;
        std::size_t items;
    } cases[] = {{design, 1}, {huge, 1}, {csv, 0}, {folder.File("none.xml"), 0}};
    for (const auto& c : cases) EXPECT_EQ(LandXmlContentAt(c.path).size(), c.items) << c.path;
}

// ---- Writes --------------------------------------------------------------------

// The signal comes while the second file of a set is being made: the first
// one's finished temporary goes too, and the file it was to replace stays.
TEST(SignalDuringAWrite, removes_the_temporaries_and_ends_with_that_signal) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        testing::ScratchFolder folder;
        const std::string first = folder.File("profile.csv"), path = folder.File("report.txt");
        testing::WriteBytes(first, "old");
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const FileChange changes[] = {{first,
                                           [](FileBytesSink& sink) {
                                               sink.Write("new");
                                               return true;
                                           }},
                                          {path, [&](FileBytesSink& sink) {
                                               sink.Write(std::string(1 << 20, 'x'));  // past the buffer: the temporary has bytes
                                               ::raise(signal);
                                               return true;
                                           }}};
            const auto failure = CommitFiles(changes);
            ::_exit(failure ? 3 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal << " status " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(folder.Names(), std::set<std::string>{"profile.csv"}) << signal;
        EXPECT_EQ(testing::ReadBytes(first), "old") << signal;
    }
}

TEST(ParameterFileSave, refuses_what_load_could_not_read_back) {
    testing::ScratchFolder folder;
    const std::string path = folder.File("参数.txt");
    ParameterTexts texts = {"16770", "396.67", "3.1", "1.1", "3000"};
    texts[1] = std::string(100000, '9');
    const auto failure = SaveParameterFile(path, texts);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("无法读回"), std::string::npos) << failure->message;
    EXPECT_TRUE(folder.Names().empty());
}

TEST(StreamMessages, name_a_closed_output_and_a_broken_pipe) {
    EXPECT_EQ(DescribeStreamWriteError("标准输出", EBADF), "无法写入标准输出：标准输出已关闭。");
    EXPECT_NE(DescribeStreamWriteError("标准输出", EPIPE).find("管道已关闭"), std::string::npos);
}

}  // namespace
}  // namespace tarnvel::io
