// Writing a whole file at a path chosen by the user, as safely as the file
// allows without changing what the file is.
//
// Where nothing about the file would change, the bytes go to a new file in the
// same folder, are flushed to the disk, and only then take the place of the
// old file by a rename: a failure never destroys what was there. That needs a
// regular file (or a new name) with one link and no extended attributes,
// owned by us, in a folder we can write, whose group and mode the new file
// can take. Everything else (a second hard link, a file of another user, a
// folder we may not write, a device or a FIFO) is written in place through the
// path: truncated, written and closed, so it keeps its inode, links, owner,
// group and mode, and a device or FIFO stays what it is.
#pragma once

#include <string>
#include <string_view>

// Puts `bytes` at `path`; false when the file could not be written. A symbolic
// link is followed and kept; a dangling one creates the file it names. On the
// rename path a failure leaves the old file untouched and no temporary file
// behind; in place, what was written before a failure stays. Hidden temporary
// files that an earlier, killed save left in the folder are removed first.
bool ReplaceFile(const std::string& path, std::string_view bytes);

// The start of the names of this machine's temporary files:
// ".korvo-save-<host>-", followed by "<pid>-<n>". A process id means
// something only on the machine that gave it, so a folder shared between
// machines keeps the others' files whatever their process ids.
std::string TemporaryPrefix();
