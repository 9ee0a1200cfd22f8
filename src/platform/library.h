// Run-time loading of libraries. On Windows these are the system's loader
// calls. Here SearchPathA finds a library file along this platform's search
// path; LoadLibraryA, GetProcAddress and FreeLibrary map onto dlopen, dlsym
// and dlclose. Any thread may call them; failures set the last error.
//
// The search path here, in order: the host program's folder, the folder of
// the module that calls, each folder of LD_LIBRARY_PATH as it is at the
// time of the call, then the system library folders. The current folder is
// not searched.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <vector>

#if defined(_WIN32)
// The Simple MAPI library, as every Windows program loads it: the system
// finds it (the program's folder first).
inline constexpr const char *MAPI_LIBRARY_NAME = "MAPI32.DLL";
#else
// This platform's name for MAPI32.DLL, found on the search path above.
inline constexpr const char *MAPI_LIBRARY_NAME = "libmapi32.so";

struct HMODULE__;
using HMODULE = HMODULE__ *;
using FARPROC = void (*)();

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

// The folders of the search path for code at address `caller`.
std::vector<CString> LibrarySearchPath(const void *caller);

// Looks for `fileName` (plus `extension` when the name has none) in the
// folders of `path` (separated by ':'), or along the search path when
// `path` is null. Found: copies the full path into `buffer` and returns its
// length, or returns the size the buffer needs (NUL included) when
// `bufferLength` is too small. Not found: 0, ERROR_FILE_NOT_FOUND.
DWORD SearchPathA(const char *path, const char *fileName, const char *extension, DWORD bufferLength,
                  char *buffer, char **filePart);

// Loads a library: a name holding '/' as it is, any other name from the
// search path. Null on failure: ERROR_MOD_NOT_FOUND when there is no such
// file, ERROR_BAD_EXE_FORMAT when it is no loadable library.
HMODULE LoadLibraryA(const char *fileName);
// The address of an exported function; null with ERROR_PROC_NOT_FOUND.
FARPROC GetProcAddress(HMODULE module, const char *procName);
// Drops one reference to the library; TRUE on success.
BOOL FreeLibrary(HMODULE module);
#endif

// The function that `GetProcAddress` found, as the type the caller knows it
// by; null stays null.
template <typename Function>
Function ProcedureAs(FARPROC procedure)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(procedure));
}

// Keeps the library that holds `address` mapped until the process ends,
// whatever FreeLibrary or dlclose its users call later: for a library whose
// code may still run on a thread that nobody waits for any more. FALSE when
// `address` lies in no library loaded by name (the program itself).
BOOL KeepLibraryLoaded(const void *address);
