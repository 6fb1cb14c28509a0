#pragma once
// Writing a settings file so that it is never lost: the new contents go to a
// temporary file in the same directory, which is flushed to the disk and
// then renamed over the old file. A full disk, a failed write or a crash
// half-way leaves the previous file as it was.
#include <string>
#include <string_view>

namespace zt {

// Replaces the file `path` with `bytes`, written as they are. Returns 0 when
// the file was written, else the errno value of the step that failed (the
// old file is then untouched). A new file gets the usual permissions (0666
// less the umask), a replaced one keeps its own.
int File_replace(const std::string& path, std::string_view bytes);

// For tests: called with the temporary file's name once it is complete and
// closed, just before the rename. Returning false stops there, as a crash at
// that moment would (the temporary file stays behind); the result is then
// ECANCELED.
extern bool (*File_replacehook)(const std::string& tempPath);

}  // namespace zt
