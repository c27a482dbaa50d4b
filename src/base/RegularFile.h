#pragma once

// Files named by a settings file or kept in a folder other users share,
// opened so that whatever someone put in their place can neither hang the
// program (opening a FIFO waits for its other end) nor send it elsewhere (a
// symbolic link to another user's file).

#include <sys/types.h>

#include <string>

// What a file of this mode is when it is not a regular file: "a FIFO",
// "a folder", "a symbolic link", "a device", "a socket"; empty for a regular
// file.
std::string NotRegularKind(mode_t mode);

// Opens path with flags (O_NOFOLLOW, O_NONBLOCK and O_CLOEXEC added; mode for
// a file O_CREAT makes) when it is a regular file, or is missing and flags
// make it. Anything else in its place is refused before it is opened. Returns
// the descriptor; or -1 with errno set (EINVAL for a file of another kind)
// and why for the operator ("it is a FIFO, not a regular file", the system's
// text).
int OpenRegularFile(const char* path, int flags, mode_t mode, std::string& why);
