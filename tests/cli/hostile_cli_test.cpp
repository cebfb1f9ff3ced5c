// Every row of the hostile table (hostile_cases.h) through the real
// tarnvel-cli: the folder is made as the row says, the command runs, and the
// folder must then hold exactly what the row expects.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

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

void Make(const std::string& folder, const HostileFile& file) {
    const std::string path = folder + "/" + file.name;
    switch (file.kind) {
    case HostileFile::File: io::testing::WriteBytes(path, file.bytes); break;
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

TEST_P(HostileCli, leaves_the_files_as_the_row_says) {
    const HostileCase& c = GetParam();
    io::testing::ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    for (const HostileFile& file : c.before) Make(folder, file);

    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Substitute(arg, folder));
    const CliRun run = RunCli(TARNVEL_CLI, args);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (!c.err.empty()) {
        EXPECT_NE(run.err.find(Substitute(c.err, folder)), std::string::npos) << run.err;
    }

    std::map<std::string, HostileFile> expected;
    for (HostileFile file : c.after.value_or(c.before)) {
        if (file.kind == HostileFile::Link) file.bytes = Substitute(file.bytes, folder);
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
