#pragma once
// Where the console's end of the link listens.
#include <string>

namespace zt {

// The socket path for the console whose window caption is `caption`, for the
// user running this program: "<folder>/<caption>-<uid>.link". The folder is
// $ZT_LINK_DIR when set (tests), else the user's runtime folder
// ($XDG_RUNTIME_DIR) when it exists, else /tmp. The uid in the name keeps two
// users' consoles apart; the socket itself admits only its owner.
std::string Link_socketname(const std::string& caption);

}  // namespace zt
