#pragma once
// Strict option parsing for tarnvel-cli. Unlike the window's boxes, an option
// value must be a whole decimal number ("16770", "-2", ".5", "1.5e3"), or the
// command stops with a usage error naming the option.

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/calculator/curve.h"
#include "core/calculator/station_listing.h"

namespace tarnvel::cli {

// A mistake on the command line; the message is for the user (exit status 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What an option's value names: a file the command reads, or one it writes.
// An output is never one of the inputs nor another output (see Options).
enum class FileRole { None, Input, Output };

// One option: how it is written, and the words of the usage text, so that
// the help lists exactly the options the parser accepts.
struct OptionSpec {
    std::string_view name;  // without the leading "--"
    bool takesValue;
    std::string_view valueName = {};  // the value in the usage text ("桩号", "N")
    std::string_view help = {};       // one short Chinese line
    bool repeatable = false;          // may be given more than once (Options::All)
    FileRole file = FileRole::None;
};

// The five curve parameters: --k0 --h0 --i1 --i2 --r.
inline constexpr OptionSpec kCurveOptions[] = {
    {"k0", true, "K", "变坡点桩号K"},
    {"h0", true, "H", "变坡点高程H"},
    {"i1", true, "I1", "第一纵坡I1(%)"},
    {"i2", true, "I2", "第二纵坡I2(%)"},
    {"r", true, "R", "竖曲线半径R"}};
// The listing range: --from --to --step.
inline constexpr OptionSpec kRangeOptions[] = {{"from", true, "桩号", "起点桩号"},
                                               {"to", true, "桩号", "止点桩号"},
                                               {"step", true, "J", "计算间距J（可为负）"}};
// What point, list, save and report take besides those.
inline constexpr OptionSpec kStationOption[] = {{"k", true, "桩号", "计算桩号"}};
inline constexpr OptionSpec kCrlfOption[] = {{"crlf", false, {}, "list 以 CR LF 结束每行（默认 LF）"}};
inline constexpr OptionSpec kOutputOption[] = {
    {"output", true, "文件", "save 和 report 写入的文件", false, FileRole::Output}};

class Options {
public:
    // Accepts "--name value" and "--name=value"; a value may begin with a minus
    // sign ("--i1 -2"). Anything not starting with "--" is positional. Unknown
    // or value-less options, a repeated one that is not repeatable, and an
    // output that is the same file as an input (the positional arguments
    // and the Input options) or as another output, throw UsageError.
    Options(const std::vector<std::string>& args, std::span<const OptionSpec> known);

    bool Has(std::string_view name) const;
    // The value as typed; throws UsageError when the option is missing.
    const std::string& Text(std::string_view name) const;
    // The value as a strictly checked decimal number.
    double Number(std::string_view name) const;
    // Every value of a repeatable option, in the order given.
    std::vector<std::string> All(std::string_view name) const;
    // The value as a strictly checked station: a decimal number, or K
    // notation ("K16+770.5").
    double Station(std::string_view name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    void RefuseOutputsOverInputs(std::span<const OptionSpec> known) const;

    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> positional_;
};

// Joins option tables: Concat(kCurveOptions, kRangeOptions, extra).
std::vector<OptionSpec> Concat(std::initializer_list<std::span<const OptionSpec>> tables);

// The usage lines of a table: "  --name 值  help", aligned, one per option;
// an option listed earlier in the table or in `skip` is left out.
std::string OptionHelp(std::span<const OptionSpec> options, std::span<const OptionSpec> skip = {});

// Throws UsageError naming `option` unless `text` is wholly a finite decimal number.
double StrictNumber(std::string_view option, std::string_view text);

CurveParameters CurveFrom(const Options& options);
StationRange RangeFrom(const Options& options);

}  // namespace tarnvel::cli
