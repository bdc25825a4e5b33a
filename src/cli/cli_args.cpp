#include "cli/cli_args.h"

#include <charconv>

namespace tw::cli {

std::optional<std::string> TCommandArgs::Value(const std::string& option) const {
    auto hit = Values.find(option);
    if (hit == Values.end()) return std::nullopt;
    return hit->second;
}

bool ParseCommandArgs(const std::vector<std::string>& words, const std::set<std::string>& with_value,
                      const std::set<std::string>& flags, TCommandArgs* args, std::string* error) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            args->Positional.push_back(word);
        } else if (with_value.count(word)) {
            if (i + 1 >= words.size()) {
                *error = "option " + word + " needs a value";
                return false;
            }
            args->Values[word] = words[++i];
        } else if (flags.count(word)) {
            args->Flags.insert(word);
        } else {
            *error = "unknown option " + word;
            return false;
        }
    }
    return true;
}

std::optional<int> ParseInt(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace tw::cli
