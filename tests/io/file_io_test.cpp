// The file commands on real files: what lands on disk, and that every failure
// leaves the existing file byte for byte as it was, with no temporary behind.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "io/atomic_write.h"
#include "io/bounded_read.h"
#include "io/parameter_file.h"
#include "io/result_report.h"
#include "tests/io/child_process.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::io {
namespace {

using testing::BecomeNobody;
using testing::InChild;
using testing::ModeOf;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

const std::string kOld = "old content\r\n";

struct WriteFailureCase {
    const char* name;
    std::function<std::string(const ScratchFolder&)> target;  // prepares and names the path
    const char* reason;
};

class AtomicWriteFailure : public ::testing::TestWithParam<WriteFailureCase> {};

TEST_P(AtomicWriteFailure, reports_the_file_and_changes_nothing) {
    ScratchFolder folder;
    WriteBytes(folder.File("keep.txt"), kOld);
    const std::string path = GetParam().target(folder);
    const auto namesBefore = folder.Names();

    const std::optional<IoFailure> failure = WriteFileAtomically(path, "new content");

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, FailureKind::File);
    EXPECT_NE(failure->message.find("“" + path + "”"), std::string::npos) << failure->message;
    EXPECT_NE(failure->message.find(GetParam().reason), std::string::npos) << failure->message;
    EXPECT_EQ(folder.Names(), namesBefore);
    EXPECT_EQ(ReadBytes(folder.File("keep.txt")), kOld);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AtomicWriteFailure,
    ::testing::Values(
        WriteFailureCase{"path_is_a_folder",
                         [](const ScratchFolder& f) {
                             std::filesystem::create_directory(f.File("sub"));
                             return f.File("sub");
                         },
                         "这是一个文件夹"},
        WriteFailureCase{"path_ends_with_slash", [](const ScratchFolder& f) { return f.File("new") + "/"; },
                         "这是一个文件夹"},
        WriteFailureCase{"parent_is_a_regular_file",
                         [](const ScratchFolder& f) { return f.File("keep.txt") + "/x.txt"; }, "不是文件夹"},
        WriteFailureCase{"folder_missing", [](const ScratchFolder& f) { return f.File("missing/x.txt"); },
                         "文件所在的文件夹不存在"},
        WriteFailureCase{"empty_path", [](const ScratchFolder&) { return std::string(); }, "无法创建文件"},
        WriteFailureCase{"device_without_space", [](const ScratchFolder&) { return std::string("/dev/full"); },
                         "无法写入文件“/dev/full”：磁盘已满。"},
        WriteFailureCase{"folder_of_process_information",
                         [](const ScratchFolder&) { return std::string("/proc/x.txt"); },
                         "无法创建文件“/proc/x.txt”：系统不允许在这个文件夹中新建文件（错误代码 2）"},
        WriteFailureCase{"link_chain_without_end",
                         [](const ScratchFolder& f) {
                             std::filesystem::create_symlink("b.txt", f.File("a.txt"));
                             std::filesystem::create_symlink("a.txt", f.File("b.txt"));
                             return f.File("a.txt");
                         },
                         "符号链接太多"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicWrite, write_error_part_way_keeps_the_old_file_and_removes_the_temporary) {
    ScratchFolder folder;
    const std::string path = folder.File("params.txt");
    WriteBytes(path, kOld);
    const std::string message = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto failure = WriteFileAtomically(path, std::string(100000, 'x'));
        return failure ? failure->message : std::string("succeeded");
    });
    EXPECT_EQ(message, "无法写入文件“" + path + "”：文件超出了系统允许的大小。");
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"params.txt"}));
}

TEST(AtomicWrite, unwritable_folder_and_read_only_file_are_refused_without_root_rights) {
    if (::geteuid() != 0) GTEST_SKIP() << "handing files to another user needs root";
    ScratchFolder folder;
    const std::string locked = folder.File("locked");
    const std::string open = folder.File("open");
    std::filesystem::create_directory(locked);
    std::filesystem::create_directory(open);
    WriteBytes(locked + "/a.txt", kOld);
    WriteBytes(open + "/readonly.txt", kOld);
    ::chmod(folder.path().c_str(), 0755);
    ::chmod(locked.c_str(), 0755);  // owned by root: nobody may not create here
    ASSERT_EQ(::chown(open.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown((open + "/readonly.txt").c_str(), 65534, 65534), 0);
    ::chmod((open + "/readonly.txt").c_str(), 0444);

    const std::string messages = InChild([&] {
        if (!BecomeNobody()) return std::string("<no setuid>");
        std::string result;
        for (const std::string& path : {locked + "/a.txt", locked + "/new.txt", open + "/readonly.txt"}) {
            const auto failure = WriteFileAtomically(path, "new");
            result += (failure ? failure->message : std::string("succeeded")) + "\n";
        }
        return result;
    });
    if (messages == "<no setuid>") GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(messages, "无法创建文件“" + locked + "/a.txt”：没有访问权限。\n" +
                            "无法创建文件“" + locked + "/new.txt”：没有访问权限。\n" +
                            "无法创建文件“" + open + "/readonly.txt”：没有访问权限。\n");
    EXPECT_EQ(ReadBytes(locked + "/a.txt"), kOld);
    EXPECT_EQ(ReadBytes(open + "/readonly.txt"), kOld);
    EXPECT_EQ(std::filesystem::directory_iterator(locked)->path().filename(), "a.txt");
}

TEST(AtomicWrite, replaces_content_keeps_permissions_and_writes_through_links) {
    ScratchFolder folder;
    const std::string path = folder.File("report.txt");
    WriteBytes(path, std::string(5000, 'o'));
    ::chmod(path.c_str(), 0640);
    std::filesystem::create_symlink("report.txt", folder.File("link.txt"));

    ASSERT_FALSE(WriteFileAtomically(folder.File("link.txt"), "short"));

    EXPECT_EQ(ReadBytes(path), "short");
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.txt")));
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"link.txt", "report.txt"}));
}

struct LinkCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> links;  // link -> what it names
    bool targetExists;
    const char* target;  // the file that must receive the bytes
};

// Saving through a link keeps every link and writes the file at the end of
// the chain, creating it when the last link names nothing yet.
TEST(AtomicWrite, writes_through_links_of_every_kind_and_keeps_them) {
    const LinkCase cases[] = {
        {"dangling relative link", {{"link.txt", "new.txt"}}, false, "new.txt"},
        {"dangling link into a subfolder", {{"link.txt", "sub/new.txt"}}, false, "sub/new.txt"},
        {"link in a subfolder naming a file beside it", {{"sub/link.txt", "file.txt"}}, true, "sub/file.txt"},
        {"link in a subfolder naming its parent's file", {{"sub/link.txt", "../file.txt"}}, true, "file.txt"},
        {"chain of two links", {{"link.txt", "sub/middle.txt"}, {"sub/middle.txt", "../file.txt"}}, true,
         "file.txt"},
        {"dangling chain", {{"link.txt", "middle.txt"}, {"middle.txt", "sub/new.txt"}}, false, "sub/new.txt"},
    };
    for (const LinkCase& c : cases) {
        ScratchFolder folder;
        std::filesystem::create_directory(folder.File("sub"));
        if (c.targetExists) WriteBytes(folder.File(c.target), kOld);
        for (const auto& [link, named] : c.links) std::filesystem::create_symlink(named, folder.File(link));
        // The absolute form of the first link's path must work the same.
        const std::string first = folder.File(c.links.front().first);

        const auto failure = WriteFileAtomically(first, "new");

        ASSERT_FALSE(failure) << c.name << ": " << failure->message;
        EXPECT_EQ(ReadBytes(folder.File(c.target)), "new") << c.name;
        for (const auto& [link, named] : c.links) {
            EXPECT_TRUE(std::filesystem::is_symlink(folder.File(link))) << c.name << ": " << link;
            EXPECT_EQ(std::filesystem::read_symlink(folder.File(link)), named) << c.name;
        }
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
            entries += 1;
            EXPECT_EQ(entry.path().filename().string().rfind(".tarnvel-", 0), std::string::npos)
                << c.name << ": temporary left behind";
        }
        EXPECT_EQ(entries, c.links.size() + 2) << c.name;  // the links, sub/ and the target
    }
}

TEST(AtomicWrite, new_file_takes_its_mode_from_the_umask) {
    ScratchFolder folder;
    for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}, {0, 0666}}) {
        const mode_t previous = ::umask(mask);
        const std::string path = folder.File("new" + std::to_string(mask) + ".txt");
        const auto failure = WriteFileAtomically(path, "");
        ::umask(previous);
        ASSERT_FALSE(failure) << failure->message;
        EXPECT_EQ(ModeOf(path), mode) << "umask " << mask;
        EXPECT_EQ(ReadBytes(path), "");
    }
}

TEST(AtomicWrite, device_is_written_in_place_not_replaced) {
    EXPECT_FALSE(WriteFileAtomically("/dev/null", "discarded"));
    // Content abandoned before it filled the buffer never reaches the device:
    // a full one has nothing to refuse.
    EXPECT_FALSE(WriteFileAtomically("/dev/full", [](FileBytesSink& sink) {
        sink.Write("title");
        return false;
    }));
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

// The folder as name -> content ("-> x" for a link, "/" for a folder), to
// show what a set of writes left, temporaries and backups included.
std::map<std::string, std::string> Contents(const ScratchFolder& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink()) contents[name] = "-> " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_directory()) contents[name] = "/";
        else contents[name] = ReadBytes(entry.path().string());
    }
    return contents;
}

FileProducer Bytes(std::string bytes, std::function<void()> meanwhile = {}) {
    return [bytes = std::move(bytes), meanwhile = std::move(meanwhile)](FileBytesSink& sink) {
        sink.Write(bytes);
        if (meanwhile) meanwhile();
        return true;
    };
}

// A set of files lands whole or not at all, whatever stops it, and every
// file keeps what it was (links, content) when one of them cannot be written.
TEST(CommitFiles, writes_every_file_or_leaves_every_one_as_it_was) {
    using Contents_ = std::map<std::string, std::string>;
    const Contents_ before = {{"a.txt", kOld}, {"b.txt", kOld}, {"link.txt", "-> t.txt"}, {"t.txt", kOld}};
    const struct {
        const char* name;
        std::function<std::vector<FileChange>(const ScratchFolder&)> changes;
        bool fails;
        Contents_ after;
    } cases[] = {
        {"the second in no folder", [](const ScratchFolder& f) {
             return std::vector<FileChange>{{f.File("a.txt"), Bytes("new")}, {f.File("none/b.txt"), Bytes("new")}};
         }, true, before},
        {"the second abandoned", [](const ScratchFolder& f) {
             return std::vector<FileChange>{{f.File("a.txt"), Bytes("new")},
                                            {f.File("b.txt"), [](FileBytesSink&) { return false; }}};
         }, false, before},
        {"one file by two names", [](const ScratchFolder& f) {
             return std::vector<FileChange>{{f.File("t.txt"), Bytes("new")}, {f.File("link.txt"), Bytes("new")}};
         }, true, before},
        // The second file's name is taken by a folder once the contents are
        // made: its rename fails, and the first file, already renamed, comes back.
        {"a rename that fails is undone", [](const ScratchFolder& f) {
             return std::vector<FileChange>{{f.File("a.txt"), Bytes("new")}, {f.File("b.txt"), Bytes("new", [&f] {
                                                std::filesystem::remove(f.File("b.txt"));
                                                std::filesystem::create_directory(f.File("b.txt"));
                                            })}};
         }, true, {{"a.txt", kOld}, {"b.txt", "/"}, {"link.txt", "-> t.txt"}, {"t.txt", kOld}}},
        {"written through a link, one removed", [](const ScratchFolder& f) {
             return std::vector<FileChange>{{f.File("link.txt"), Bytes("new")}, {f.File("b.txt"), {}},
                                            {f.File("gone.txt"), {}}};
         }, false, {{"a.txt", kOld}, {"link.txt", "-> t.txt"}, {"t.txt", "new"}}},
        {"a removed link goes, not its file", [](const ScratchFolder& f) {
             return std::vector<FileChange>{{f.File("a.txt"), Bytes("new")}, {f.File("link.txt"), {}}};
         }, false, {{"a.txt", "new"}, {"b.txt", kOld}, {"t.txt", kOld}}},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        for (const char* name : {"a.txt", "b.txt", "t.txt"}) WriteBytes(folder.File(name), kOld);
        std::filesystem::create_symlink("t.txt", folder.File("link.txt"));
        const std::vector<FileChange> changes = c.changes(folder);
        const auto failure = CommitFiles(changes);
        EXPECT_EQ(failure.has_value(), c.fails) << c.name << ": " << (failure ? failure->message : "");
        EXPECT_EQ(Contents(folder), c.after) << c.name;
    }
}

struct LoadFailureCase {
    const char* name;
    std::function<std::string(const ScratchFolder&)> source;
    FailureKind kind;
    const char* reason;
};

class ParameterFileLoadFailure : public ::testing::TestWithParam<LoadFailureCase> {};

TEST_P(ParameterFileLoadFailure, is_reported_and_quick) {
    ScratchFolder folder;
    const std::string path = GetParam().source(folder);
    const auto started = std::chrono::steady_clock::now();
    const Result<ParameterTexts> loaded = LoadParameterFile(path);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.failure().kind, GetParam().kind);
    EXPECT_NE(loaded.failure().message.find("“" + path + "”"), std::string::npos) << loaded.failure().message;
    EXPECT_NE(loaded.failure().message.find(GetParam().reason), std::string::npos) << loaded.failure().message;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ParameterFileLoadFailure,
    ::testing::Values(
        LoadFailureCase{"missing_file", [](const ScratchFolder& f) { return f.File("none.txt"); },
                        FailureKind::File, "无法打开文件"},
        LoadFailureCase{"folder", [](const ScratchFolder& f) { return f.path().string(); }, FailureKind::File,
                        "这是一个文件夹"},
        LoadFailureCase{"four_lines",
                        [](const ScratchFolder& f) {
                            WriteBytes(f.File("p.txt"), "1\r\n2\r\n3\r\n4\r\n");
                            return f.File("p.txt");
                        },
                        FailureKind::ShortParameterFile, "不足五行"},
        LoadFailureCase{"endless_zero_device", [](const ScratchFolder&) { return std::string("/dev/zero"); },
                        FailureKind::NotParameterFile, "二进制"},
        LoadFailureCase{"four_gigabytes_without_line_end",
                        [](const ScratchFolder& f) {
                            const std::string path = f.File("huge.txt");
                            WriteBytes(path, std::string(70000, '7'));
                            std::filesystem::resize_file(path, 4ull << 30);  // sparse: costs no disk
                            return path;
                        },
                        FailureKind::NotParameterFile, "不是参数文件"},
        LoadFailureCase{"pipe_without_writer",
                        [](const ScratchFolder& f) {
                            ::mkfifo(f.File("fifo").c_str(), 0600);
                            return f.File("fifo");
                        },
                        FailureKind::ShortParameterFile, "不足五行"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterFileOnDisk, save_then_load_gives_the_number_forms) {
    ScratchFolder folder;
    const std::string path = folder.File("参数 1.txt");
    ASSERT_FALSE(SaveParameterFile(path, {"016770.50", "396.67", "-2.5", "", "3000"}));
    const Result<ParameterTexts> loaded = LoadParameterFile(path);
    ASSERT_TRUE(loaded.ok()) << loaded.failure().message;
    EXPECT_EQ(loaded.value(), (ParameterTexts{"16770.5", "396.67", "-2.5", "0", "3000"}));
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"参数 1.txt"}));
}

TEST(ResultReportOnDisk, replaces_an_existing_file_whole) {
    ScratchFolder folder;
    const std::string path = folder.File("report.txt");
    WriteBytes(path, std::string(10000, 'z'));
    ASSERT_FALSE(WriteResultReport(path, "里程K   高程H\r\n"));
    EXPECT_EQ(ReadBytes(path), FormatResultReport("里程K   高程H\r\n"));
}

TEST(ResultReportOnDisk, streamed_listing_gives_the_same_bytes_and_an_abandoned_one_none) {
    ScratchFolder folder;
    const std::string path = folder.File("report.txt");
    // Lines of every kind: ASCII, Chinese, a character code page 936 lacks.
    const std::string_view lines[] = {"里程K   高程H\r\n", "16740   395.74\r\n", "备注 ☃\r\n",
                                      std::string_view("\r\n16750   396.033\r\n")};
    std::string whole;
    for (std::string_view line : lines) whole += line;
    const auto streamed = [&](bool complete) {
        return [&lines, complete](const ReportTextSink& sink) {
            for (std::string_view line : lines) sink(line);
            return complete;
        };
    };

    ASSERT_FALSE(WriteResultReport(path, streamed(true)));
    EXPECT_EQ(ReadBytes(path), FormatResultReport(whole));

    WriteBytes(path, kOld);
    ASSERT_FALSE(WriteResultReport(path, streamed(false)));
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"report.txt"}));
}

TEST(BoundedRead, stops_at_the_limit) {
    const Result<std::string> read = ReadFilePrefix("/dev/zero", 100);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), std::string(100, '\0'));
}

TEST(BoundedRead, costs_what_arrives_not_the_limit) {
    // A limit of a terabyte: a buffer of the limit's size could not be had.
    ScratchFolder folder;
    const std::string big(300000, 'x');
    WriteBytes(folder.File("a.csv"), big);
    for (const std::string& path : {folder.File("a.csv"), std::string("/dev/zero")}) {
        const std::size_t limit = path == "/dev/zero" ? 200000 : std::size_t{1} << 40;
        const Result<std::string> read = ReadFilePrefix(path, limit);
        ASSERT_TRUE(read.ok()) << read.failure().message;
        EXPECT_EQ(read.value().size(), path == "/dev/zero" ? limit : big.size());
    }
}

TEST(FileFailureMessage, exceptions_read_as_the_same_sentence_as_system_errors) {
    const auto failureOf = [](auto exception) {
        try {
            throw exception;
        } catch (const std::exception&) {
            return CurrentExceptionFailure(FileAction::Write, "/x/y.txt");
        }
    };
    EXPECT_EQ(failureOf(std::bad_alloc()).message, "无法写入文件“/x/y.txt”：内存不足。");
    EXPECT_EQ(failureOf(std::runtime_error("系统缺少GBK（代码页936）编码转换支持。")).message,
              "无法写入文件“/x/y.txt”：系统缺少GBK（代码页936）编码转换支持。");
    EXPECT_EQ(DescribeFileError(FileAction::Write, "/x/y.txt", ENOSPC), "无法写入文件“/x/y.txt”：磁盘已满。");
}

}  // namespace
}  // namespace tarnvel::io
