#include "core/text/count_text.h"

#include "core/languages/languages.h"

namespace tw {

std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." + std::to_string(kVersionRelease);
}

std::string CountText(long long n) {
    if (n == 0) return GetText(26);
    if (n == 1) return GetText(27);
    return std::to_string(n) + " " + GetText(28);
}

}  // namespace tw
