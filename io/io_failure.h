#pragma once
// How a file command tells its caller that it did not complete. Nothing here
// throws across the library's interface: every failure comes back as a value
// carrying the Chinese message the user is shown.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace tarnvel {
struct UnitProblem;  // core/profile/units.h
}

namespace tarnvel::io {

enum class FailureKind {
    File,                // the file could not be created, opened, read or written
    ShortParameterFile,  // fewer than five lines
    NotParameterFile,    // binary data, or no five lines within the size a parameter file can have
    NotProfile,          // a LandXML or CSV file whose content is not a profile (the message names the place)
};

struct IoFailure {
    FailureKind kind = FailureKind::File;
    std::string message;  // complete Chinese sentence naming the file
};

// A value, or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : content_(std::move(value)) {}
    Result(IoFailure failure) : content_(std::move(failure)) {}

    bool ok() const { return content_.index() == 0; }
    const T& value() const { return std::get<0>(content_); }
    T& value() { return std::get<0>(content_); }
    const IoFailure& failure() const { return std::get<1>(content_); }

private:
    std::variant<T, IoFailure> content_;
};

// What was being attempted when the system refused.
enum class FileAction { Create, Open, Read, Write };

// "无法写入文件“/x/y.txt”：磁盘已满。" — the action, the file as the user named
// it, and the reason in the user's words for the errno `code`.
std::string DescribeFileError(FileAction action, std::string_view path, int code);

IoFailure FileFailure(FileAction action, std::string_view path, int code);

// "文件“/x/y.csv”第3行“高程”列…": a file whose content is not a profile; `what`
// continues the sentence after the file's name and names the place.
IoFailure NotProfileFailure(std::string_view path, std::string_view what);

// A unit of length the file states and no profile can take (see
// core/profile/units.h): `where` continues the sentence after the file's name
// and names the place ("第1行的表头中"; empty: the file as a whole).
IoFailure UnitFailure(std::string_view path, std::string_view where, const UnitProblem& problem);

// A folder that exists but refuses every new file with the errno `code` (as
// /proc does with "no such file"): the message names that, with the code.
IoFailure NewFileRefused(std::string_view path, int code);

// Two files of one write that are one file under two names: nothing written.
IoFailure SameFileFailure(std::string_view first, std::string_view second);

// "无法写入标准输出：磁盘已满。" — for a stream such as standard output, named
// by `stream`, that refused its bytes with the errno `code`.
std::string DescribeStreamWriteError(std::string_view stream, int code);

// The same sentence for a failure that comes as an exception instead of an
// errno (the code page converter missing, memory exhausted). Call it only
// inside a catch block: it looks at the exception being handled.
IoFailure CurrentExceptionFailure(FileAction action, std::string_view path);

}  // namespace tarnvel::io
