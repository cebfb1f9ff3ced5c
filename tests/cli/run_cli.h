#pragma once
// Runs the real tarnvel-cli binary and captures what it prints and its exit
// status, for end-to-end tests.

#include <string>
#include <vector>

namespace tarnvel::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    long peakKb = 0;  // the child's largest resident set
};

// `program` is the path of tarnvel-cli; standard input is empty. Standard
// output is captured, or goes to the file `stdoutPath` when one is given.
CliRun RunCli(const std::string& program, const std::vector<std::string>& args,
              const std::string& stdoutPath = {});

// A CSV output split into lines and cells at every comma (the outputs
// checked quote nothing): n commas give n + 1 cells, an empty line one.
std::vector<std::vector<std::string>> CsvRows(const std::string& text);

}  // namespace tarnvel::test
