// File > "导入" / "导出" and "导出数据" driven through the real window, with
// a scripted file dialog and real files on disk.

#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "io/parameter_file.h"
#include "io/result_report.h"
#include "tests/io/scratch_folder.h"
#include "tests/ui/support/window_fixture.h"

namespace tarnvel::ui::testing {
namespace {

using io::testing::ReadBytes;
using io::testing::ScratchFolder;
using io::testing::WriteBytes;

const QStringList kParameterBoxes = {"Text1", "Text2", "Text3", "Text4", "Text5"};
const QStringList kStartUpTexts = {"16770", "396.67", "3.1", "1.1", "3000"};
const QStringList kOtherBoxes = {"Text6", "Text8", "Text9", "Text10"};
const QString kReportPrompt = QStringLiteral("请点击“点击计算”！");

class FileCommandsTest : public WindowTest {
protected:
    QStringList Texts(const QStringList& boxes) {
        QStringList texts;
        for (const QString& box : boxes) texts << TextOf(box);
        return texts;
    }
    void SetTexts(const QStringList& boxes, const QStringList& texts) {
        for (int i = 0; i < boxes.size(); ++i) ControlAs<QLineEdit>(boxes[i])->setText(texts[i]);
    }
    void CalculateListing() {
        Click("Option2");
        Click("CommandButton5");
    }
    // "Open" and "Export" are menu items, "CommandButton4" is a button.
    void RunCommand(const QString& name) {
        if (name == "CommandButton4")
            Click(name);
        else
            ChooseMenuItem(name);
    }
    QString Q(const std::string& path) { return QString::fromStdString(path); }

    ScratchFolder folder;
};

TEST_F(FileCommandsTest, export_then_open_restores_the_five_boxes_and_nothing_else) {
    const std::string path = folder.File("参数.txt");
    files.answers = {Q(path)};
    ChooseMenuItem("Export");

    ASSERT_EQ(files.calls.size(), 1u);
    EXPECT_EQ(files.calls[0].kind, FakeFileDialog::Kind::Save);
    EXPECT_EQ(files.calls[0].filter, "文本文件(*.txt)");
    EXPECT_EQ(TextOf("txtFileName"), Q(path));
    EXPECT_EQ(ReadBytes(path), io::FormatParameterFile({"16770", "396.67", "3.1", "1.1", "3000"}));
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();

    CalculateListing();
    const QString listing = TextOf("Text7");
    SetTexts(kParameterBoxes, {"1", "2", "3", "4", "5"});
    SetTexts(kOtherBoxes, {"6", "8", "9", "10"});
    files.answers = {Q(path)};
    ChooseMenuItem("Open");

    ASSERT_EQ(files.calls.size(), 2u);
    EXPECT_EQ(files.calls[1].kind, FakeFileDialog::Kind::Open);
    EXPECT_EQ(files.calls[1].filter, "文本文件(*.txt)");
    EXPECT_EQ(Texts(kParameterBoxes), kStartUpTexts);
    EXPECT_EQ(Texts(kOtherBoxes), (QStringList{"6", "8", "9", "10"}));
    EXPECT_EQ(TextOf("Text7"), listing);  // nothing is recalculated
    EXPECT_TRUE(messages.prompts.isEmpty());
}

TEST_F(FileCommandsTest, open_puts_the_number_form_of_each_line_into_its_box) {
    const std::string path = folder.File("p.txt");
    WriteBytes(path, "016770.50      \xB1\xE4\xC6\xC2\r\n\r\nabc\r\n  -2.50\r\n3000");
    files.answers = {Q(path)};
    ChooseMenuItem("Open");
    EXPECT_EQ(Texts(kParameterBoxes), (QStringList{"16770.5", "0", "0", "-2.5", "3000"}));
}

TEST_F(FileCommandsTest, export_with_an_empty_box_loads_back_as_0) {
    const std::string path = folder.File("p.txt");
    EmptyBox("Text1");
    files.answers = {Q(path)};
    ChooseMenuItem("Export");
    EXPECT_EQ(ReadBytes(path).substr(0, 42), std::string(29, ' ') + "\xB1\xE4\xC6\xC2\xB5\xE3\xD7\xAE\xBA\xC5\x4B\r\n");
    files.answers = {Q(path)};
    ChooseMenuItem("Open");
    EXPECT_EQ(TextOf("Text1"), "0");
}

TEST_F(FileCommandsTest, report_of_the_start_up_listing_is_216_bytes) {
    CalculateListing();
    const std::string path = folder.File("成果.txt");
    WriteBytes(path, std::string(1000, 'x'));
    files.answers = {Q(path)};
    Click("CommandButton4");

    ASSERT_EQ(files.calls.size(), 1u);
    EXPECT_EQ(files.calls[0].kind, FakeFileDialog::Kind::Save);
    EXPECT_EQ(files.calls[0].filter, "文本文件(*.txt);;所有文件(*.*)");
    EXPECT_EQ(TextOf("txtFileName"), Q(path));
    const std::string report = ReadBytes(path);
    EXPECT_EQ(report.size(), 216u);
    EXPECT_EQ(report, io::FormatResultReport(TextOf("Text7").toStdString()));
    EXPECT_TRUE(messages.prompts.isEmpty()) << messages.prompts.join('\n').toStdString();
}

TEST_F(FileCommandsTest, report_of_an_edited_listing_has_two_empty_lines_before_the_footer) {
    CalculateListing();
    window().SetListingText("16740   395.74");
    const std::string path = folder.File("r.txt");
    files.answers = {Q(path)};
    Click("CommandButton4");
    const std::string report = ReadBytes(path);
    EXPECT_NE(report.find("16740   395.74\r\n\r\n\r\n\xBC\xC6\xCB\xE3"), std::string::npos);
}

TEST_F(FileCommandsTest, report_before_any_calculation_asks_for_one_and_touches_nothing) {
    Click("Option2");
    Click("CommandButton4");
    EXPECT_EQ(messages.prompts, QStringList{kReportPrompt});
    EXPECT_TRUE(files.calls.empty());
    EXPECT_EQ(TextOf("txtFileName"), "C:\\Documents and Settings\\Administrator\\桌面");
    EXPECT_TRUE(folder.Names().empty());
}

// Each command with a cancelled dialog, after an earlier command chose a file.
class CancelledDialog : public FileCommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelledDialog, changes_no_box_no_file_and_not_the_path) {
    const std::string earlier = folder.File("earlier.txt");
    WriteBytes(earlier, "1\r\n2\r\n3\r\n4\r\n5\r\n");
    files.answers = {Q(earlier)};
    ChooseMenuItem("Open");
    CalculateListing();
    SetTexts(kParameterBoxes, {"a", "b", "c", "d", "e"});
    const QString listing = TextOf("Text7");
    const auto callsBefore = files.calls.size();

    files.answers.clear();  // the next dialog is cancelled
    RunCommand(GetParam());

    EXPECT_EQ(files.calls.size(), callsBefore + 1);
    EXPECT_EQ(TextOf("txtFileName"), Q(earlier));
    EXPECT_EQ(Texts(kParameterBoxes), (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(TextOf("Text7"), listing);
    EXPECT_EQ(ReadBytes(earlier), "1\r\n2\r\n3\r\n4\r\n5\r\n");
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"earlier.txt"}));
    EXPECT_TRUE(messages.prompts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Commands, CancelledDialog, ::testing::Values("Open", "Export", "CommandButton4"),
                         [](const auto& info) { return std::string(info.param); });

// A failing file: the message names it, the path is noted, nothing changes.
struct FailureCase {
    const char* name;
    const char* action;  // "Open", "Export" or "CommandButton4"
    std::function<std::string(const ScratchFolder&)> path;
    const char* reason;
};

class FailingFile : public FileCommandsTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailingFile, is_reported_and_leaves_boxes_and_disk_unchanged) {
    WriteBytes(folder.File("keep.txt"), "1\r\n2\r\n3\r\n4\r\n");
    std::filesystem::create_directory(folder.File("sub"));
    CalculateListing();
    const QStringList boxesBefore = Texts(kParameterBoxes);
    const auto namesBefore = folder.Names();
    const std::string path = GetParam().path(folder);

    files.answers = {Q(path)};
    RunCommand(GetParam().action);

    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_TRUE(messages.prompts[0].contains(Q("“" + path + "”"))) << messages.prompts[0].toStdString();
    EXPECT_TRUE(messages.prompts[0].contains(GetParam().reason)) << messages.prompts[0].toStdString();
    EXPECT_EQ(messages.parents, std::vector<QWidget*>{&window()});
    EXPECT_EQ(TextOf("txtFileName"), Q(path));
    EXPECT_EQ(Texts(kParameterBoxes), boxesBefore);
    EXPECT_EQ(folder.Names(), namesBefore);
    EXPECT_EQ(ReadBytes(folder.File("keep.txt")), "1\r\n2\r\n3\r\n4\r\n");
    EXPECT_TRUE(window().isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailingFile,
    ::testing::Values(
        FailureCase{"open_missing_file", "Open", [](const ScratchFolder& f) { return f.File("none.txt"); },
                    "文件不存在"},
        FailureCase{"open_four_lines", "Open", [](const ScratchFolder& f) { return f.File("keep.txt"); },
                    "不足五行"},
        FailureCase{"open_folder", "Open", [](const ScratchFolder& f) { return f.File("sub"); }, "文件夹"},
        FailureCase{"open_binary", "Open", [](const ScratchFolder&) { return std::string("/dev/zero"); },
                    "二进制"},
        FailureCase{"export_over_folder", "Export", [](const ScratchFolder& f) { return f.File("sub"); },
                    "文件夹"},
        FailureCase{"export_full_disk", "Export", [](const ScratchFolder&) { return std::string("/dev/full"); },
                    "磁盘已满"},
        FailureCase{"export_under_a_file", "Export",
                    [](const ScratchFolder& f) { return f.File("keep.txt") + "/p.txt"; }, "不是文件夹"},
        FailureCase{"report_full_disk", "CommandButton4",
                    [](const ScratchFolder&) { return std::string("/dev/full"); }, "磁盘已满"},
        FailureCase{"report_into_missing_folder", "CommandButton4",
                    [](const ScratchFolder& f) { return f.File("none/r.txt"); }, "文件夹不存在"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnvel::ui::testing
