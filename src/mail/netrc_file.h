// The netrc file that holds the SMTP login's password (the format of ftp
// and curl): "machine HOST login USER password SECRET" entries, "default"
// for any machine, "macdef" bodies skipped. The password never lives in
// the game's settings. Read on the sender thread for one delivery.
#pragma once

#include "platform/cstring.h"

#include <optional>
#include <string>
#include <string_view>

// The password of the first entry for `machine` (any letter case) whose
// login is `login`, else of a "default" entry with that login; words may
// be written in double quotes with backslash escapes, and a "#" that
// starts a word comments out the rest of its line.
std::optional<std::string> FindNetrcPassword(std::string_view text, std::string_view machine, std::string_view login);

// $MORV_NETRC, else ~/.netrc; on Windows %MORV_NETRC%, else _netrc in the
// user's profile folder when there is one, else .netrc there (as curl looks).
std::string NetrcPath();

// Whether others than the user may read or write the file (or it cannot
// be told). On Windows always false: a file has no such mode there, and
// the profile folder is the user's alone.
bool OthersMayUse(const std::string &path);

// Reads the password from the file at `path`. Empty text on success, else
// why not: the file cannot be read, group or others may read or write it,
// or it holds no entry for `machine` and `login`.
CString ReadNetrcPassword(const std::string &path, const CString &machine, const CString &login, CString &password);
