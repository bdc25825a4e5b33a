#pragma once

#include <string>

namespace tw {

/// The product web site compiled into the program.
inline constexpr const char* kDefaultSiteUrl = "https://www.tagwacht.de";

/// The product web site without a trailing "/": TAGWACHT_SITE_URL when set and not empty, else
/// the compiled-in address.
std::string SiteUrl();

}  // namespace tw
