// Files: opening a regular file without waiting on whatever else bears its name, reading one
// up to a limit, writing every byte, and showing a name or a field from a file safely.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

// Opens `path` with `flags` (and `mode`, where it may be made) only if it is a regular file:
// never waiting on a pipe or a device of that name, and taking none as the controlling
// terminal. Reads and writes on it then block as usual. Returns the descriptor, or -1 with
// `problem` saying why in a few words: the system's message (and errno the error), or, with
// errno 0, "is a directory" or "is not a regular file".
int openregular(const std::string &path, int flags, std::string &problem, mode_t mode = 0644);
// Set by tests only: called with the path once it is found to be a regular file and before any
// of it is read or written, so that a test can change the file right then.
inline void (*regularfile_checked)(const std::string &path) = nullptr;

// Reads what is left of `fd` into `text`, but no more than `limit` bytes. Returns 0, the error
// of a read that failed, or EFBIG where there is more: what is read is counted, so a file that
// grows meanwhile is caught.
int readupto(int fd, std::size_t limit, std::string &text);

// Writes all of `bytes` to `fd`, unless an earlier write failed (`error` is not 0), waiting
// where the descriptor was left non-blocking; a write that fails sets `error` to its error, and
// nothing is written after it. Returns the number of writes it took.
int writewhole(int fd, std::string_view bytes, int &error);

// `text` as it may be shown on a terminal: printable ASCII and whole UTF-8 characters beyond
// the C1 controls as they are; every other byte (a C0 control, DEL, a C1 control, a byte of no
// whole UTF-8 character) and '%' as '%' and two hexadecimal digits. Whatever came from a file,
// the command line or another program is printed through it, so that none can act on the
// terminal.
std::string shown(std::string_view text);
// The same, one column for each byte: printable ASCII as it is, every other byte as `mark`.
std::string shown(std::string_view text, char mark);
