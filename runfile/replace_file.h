// Writing a whole file so that a failure never destroys what was there: the
// bytes go to a new file in the same folder, are flushed to the disk, and only
// then take the place of the old file by a rename.
#pragma once

#include <string>
#include <string_view>

// Puts `bytes` at `path`. On failure the old file (if any) is untouched and no
// temporary file is left behind. A symbolic link at `path` is kept and the
// file it points to is replaced; an existing file that the user may not write
// is not replaced. The new file keeps the permissions of the one it replaces.
bool ReplaceFile(const std::string& path, std::string_view bytes);
