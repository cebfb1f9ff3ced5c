// Every row of the hostile table (hostile_cases.h) through the real
// tarnvel-cli: the folder is made as the row says, the command runs, and the
// folder must then hold exactly what the row expects; what it printed must
// hold the row's pieces and keep within the row's limits.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "io/csv_records.h"
#include "tests/cli/hostile_cases.h"
#include "tests/cli/run_cli.h"
#include "tests/io/scratch_folder.h"

namespace tarnvel::test {
namespace {

namespace fs = std::filesystem;

std::string Substitute(std::string text, const std::string& folder) {
    for (std::size_t at; (at = text.find("{d}")) != std::string::npos;) text.replace(at, 3, folder);
    return text;
}

void Make(const std::string& folder, const HostileFile& file, const std::string& bytes) {
    const std::string path = folder + "/" + file.name;
    switch (file.kind) {
    case HostileFile::File: io::testing::WriteBytes(path, bytes); break;
    case HostileFile::Folder: fs::create_directory(path); break;
    case HostileFile::Link: fs::create_symlink(Substitute(file.bytes, folder), path); break;
    case HostileFile::HardLink: fs::create_hard_link(folder + "/" + file.bytes, path); break;
    }
}

// What the folder holds, each entry as a row of the table would state it:
// a file that shares its inode with one whose name sorts before it is a
// hard link of that one.
std::map<std::string, HostileFile> Snapshot(const std::string& folder) {
    std::map<std::string, HostileFile> entries;
    std::map<std::pair<dev_t, ino_t>, std::string> firstOfInode;
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder).string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        ::lstat(path.c_str(), &info);
        if (S_ISLNK(info.st_mode)) {
            entries[name] = {name, HostileFile::Link, fs::read_symlink(path).string()};
        } else if (S_ISDIR(info.st_mode)) {
            entries[name] = {name, HostileFile::Folder, {}};
        } else if (const auto [first, fresh] = firstOfInode.try_emplace({info.st_dev, info.st_ino}, name); !fresh) {
            entries[name] = {name, HostileFile::HardLink, first->second};
        } else {
            entries[name] = {name, HostileFile::File, io::testing::ReadBytes(path)};
        }
    }
    return entries;
}

std::string Describe(const HostileFile& f) {
    static const char* kinds[] = {"file", "folder", "link to", "hard link of"};
    std::string text = std::string(kinds[f.kind]) + " " + f.name;
    if (f.kind != HostileFile::Folder) text += " [" + (f.bytes.size() > 60 ? f.bytes.substr(0, 60) + "…" : f.bytes) + "]";
    return text;
}

class HostileCli : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileCli, prints_costs_and_leaves_the_files_as_the_row_says) {
    const HostileCase& c = GetParam();
    ::unsetenv("XDG_RUNTIME_DIR");  // what makes Qt speak up
    io::testing::ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    // Each made file is made once: its bytes need not come out the same twice (LandXML carries the time).
    std::map<std::string, std::string> made;
    for (const HostileFile& file : c.before) Make(folder, file, file.made ? made[file.name] = file.made() : file.bytes);

    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Substitute(arg, folder));
    const CliRun run = RunCli(TARNVEL_CLI, args);
    const std::string err = run.err.substr(0, 2000);
    EXPECT_EQ(run.status, c.status) << err;
    EXPECT_LE(run.err.size(), c.also.errMost) << err;
    // Nothing a terminal acts on, and nothing that is not UTF-8.
    const auto control = std::find_if(run.err.begin(), run.err.end(),
                                      [](unsigned char ch) { return ch < 0x20 && ch != '\n'; });
    EXPECT_EQ(control, run.err.end()) << "a control byte at " << control - run.err.begin() << "\n" << err;
    EXPECT_TRUE(io::IsValidUtf8(run.err)) << err;
    EXPECT_LE(run.peakKb, c.also.peakMb * 1024);

    const std::string text = c.also.in.empty()        ? run.err
                             : c.also.in == kStdout ? run.out
                                                    : io::testing::ReadBytes(folder + "/" + c.also.in);
    EXPECT_LE(text.size(), c.also.inMost);
    for (const std::string& piece : c.has)
        EXPECT_NE(text.find(Substitute(piece, folder)), std::string::npos) << piece << "\n" << text.substr(0, 2000);
    for (const std::string& piece : c.lacks)
        EXPECT_EQ(text.find(Substitute(piece, folder)), std::string::npos) << piece << "\n" << text.substr(0, 2000);

    std::map<std::string, HostileFile> expected;
    for (HostileFile file : c.after.value_or(c.before)) {
        if (file.kind == HostileFile::Link) file.bytes = Substitute(file.bytes, folder);
        if (file.made) file.bytes = made.at(file.name);
        expected[file.name] = file;
    }
    const std::map<std::string, HostileFile> actual = Snapshot(folder);
    for (const auto& [name, want] : expected) {
        const auto got = actual.find(name);
        if (got == actual.end()) {
            ADD_FAILURE() << "missing: " << Describe(want);
            continue;
        }
        const bool any = want.kind == HostileFile::File && want.bytes == kAnyBytes;
        EXPECT_TRUE(got->second.kind == want.kind && (any || got->second.bytes == want.bytes))
            << "expected " << Describe(want) << "\n     got " << Describe(got->second);
    }
    for (const auto& [name, got] : actual)
        if (!expected.count(name)) ADD_FAILURE() << "not expected: " << Describe(got);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileCli, ::testing::ValuesIn(HostileCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tarnvel::test
