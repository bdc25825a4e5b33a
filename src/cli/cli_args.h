#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tw::cli {

/// The arguments of one command: positional values in order, and the options given.
struct TCommandArgs {
    std::vector<std::string> Positional;
    std::map<std::string, std::string> Values;  ///< options that take a value
    std::set<std::string> Flags;                ///< options without a value

    bool Has(const std::string& flag) const { return Flags.count(flag) > 0; }
    std::optional<std::string> Value(const std::string& option) const;
};

/// Splits the words after the command. Options named in with_value take the next word; those in
/// flags take none. False with the error text for an unknown option or a missing value.
bool ParseCommandArgs(const std::vector<std::string>& words, const std::set<std::string>& with_value,
                      const std::set<std::string>& flags, TCommandArgs* args, std::string* error);

/// A whole decimal number, or nothing.
std::optional<int> ParseInt(const std::string& text);

}  // namespace tw::cli
