#pragma once
// Strict option parsing for tarnvel-cli. Unlike the window's boxes, an option
// value must be a whole decimal number ("16770", "-2", ".5", "1.5e3"), or the
// command stops with a usage error naming the option.

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/curve.h"
#include "core/station_listing.h"

namespace tarnvel::cli {

// A mistake on the command line; the message is for the user (exit status 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string_view name;  // without the leading "--"
    bool takesValue;
};

// The five curve parameters: --k0 --h0 --i1 --i2 --r.
inline constexpr OptionSpec kCurveOptions[] = {
    {"k0", true}, {"h0", true}, {"i1", true}, {"i2", true}, {"r", true}};
// The listing range: --from --to --step.
inline constexpr OptionSpec kRangeOptions[] = {{"from", true}, {"to", true}, {"step", true}};

class Options {
public:
    // Accepts "--name value" and "--name=value"; a value may begin with a minus
    // sign ("--i1 -2"). Anything not starting with "--" is positional. Unknown,
    // repeated or value-less options throw UsageError.
    Options(const std::vector<std::string>& args, std::span<const OptionSpec> known);

    bool Has(std::string_view name) const;
    // The value as typed; throws UsageError when the option is missing.
    const std::string& Text(std::string_view name) const;
    // The value as a strictly checked decimal number.
    double Number(std::string_view name) const;
    // The value as a strictly checked station: a decimal number, or K
    // notation ("K16+770.5").
    double Station(std::string_view name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::vector<std::string> positional_;
};

// Joins option tables: Concat(kCurveOptions, kRangeOptions, extra).
std::vector<OptionSpec> Concat(std::initializer_list<std::span<const OptionSpec>> tables);

// Throws UsageError naming `option` unless `text` is wholly a finite decimal number.
double StrictNumber(std::string_view option, std::string_view text);

CurveParameters CurveFrom(const Options& options);
StationRange RangeFrom(const Options& options);

}  // namespace tarnvel::cli
