#pragma once

#include <string>

namespace tw {

inline constexpr int kVersionMajor = 6;
inline constexpr int kVersionMinor = 3;
inline constexpr int kVersionRelease = 2;

/// "6.3.2": major, minor and release.
std::string VersionText();

/// The entry count of the status bar: text 26 for none, text 27 for one, else n + " " + text 28.
std::string CountText(long long n);

}  // namespace tw
