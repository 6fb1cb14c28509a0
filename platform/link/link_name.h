#pragma once
// Where the console's end of the link listens, and the folder that keeps
// other users away from it.
#include <string>

namespace zt {

// The link's folder for the user running this program: "<base>/zt-<uid>".
// The base is $ZT_LINK_DIR when set (tests), else the user's runtime folder
// ($XDG_RUNTIME_DIR) when it exists, else /tmp.
std::string Link_folder();

// The socket path for the console whose window caption is `caption`:
// "<Link_folder()>/<caption>.link". Both programs derive it the same way.
std::string Link_socketname(const std::string& caption);

// Makes `folder` with mode 0700 when it does not exist, then checks that it
// is a folder (not a link to one) owned by this user that no other user may
// enter. Returns an empty string when it is, else why not, naming the folder.
// Only its last component is made: the base must exist.
std::string Link_privatefolder(const std::string& folder);

}  // namespace zt
