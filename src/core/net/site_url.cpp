#include "core/net/site_url.h"

#include <cstdlib>

namespace tw {

std::string SiteUrl() {
    const char* configured = std::getenv("TAGWACHT_SITE_URL");
    std::string url = configured && *configured ? configured : kDefaultSiteUrl;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

}  // namespace tw
