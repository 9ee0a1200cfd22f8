// fopen modes that keep a file from the programs a process starts: "e"
// (close-on-exec) for glibc, "N" (not inherited) for the Windows C runtime,
// whose own check refuses a mode letter it does not know.
#pragma once

#if defined(_WIN32)
constexpr const char *APPEND_BYTES_NOT_INHERITED = "abN";
#else
constexpr const char *APPEND_BYTES_NOT_INHERITED = "abe";
#endif
