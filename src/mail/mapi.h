// Simple MAPI: the interface between a mail client's provider library and
// the programs that send mail through it, written for this platform from the
// published interface. Names, values and field order are the published
// ones; the interface's 32-bit ULONG is spelled std::uint32_t and handles
// are pointer-sized (ULONG_PTR). A provider library exports the functions
// below with C linkage under these names, in the system's calling
// convention for its interfaces (WINAPI).
#pragma once

#include "platform/win_types.h"

#include <cstdint>

using LHANDLE = ULONG_PTR;
using LPLHANDLE = LHANDLE *;
using FLAGS = std::uint32_t;

struct MapiRecipDesc {
    std::uint32_t ulReserved;
    std::uint32_t ulRecipClass;  // MAPI_ORIG, MAPI_TO, MAPI_CC or MAPI_BCC
    char *lpszName;
    char *lpszAddress;
    std::uint32_t ulEIDSize;
    void *lpEntryID;
};
using lpMapiRecipDesc = MapiRecipDesc *;

struct MapiFileDesc {
    std::uint32_t ulReserved;
    std::uint32_t flFlags;
    std::uint32_t nPosition;  // 0xFFFFFFFF: not placed in the note text
    char *lpszPathName;
    char *lpszFileName;
    void *lpFileType;
};
using lpMapiFileDesc = MapiFileDesc *;

struct MapiMessage {
    std::uint32_t ulReserved;
    char *lpszSubject;
    char *lpszNoteText;
    char *lpszMessageType;
    char *lpszDateReceived;
    char *lpszConversationID;
    FLAGS flFlags;
    lpMapiRecipDesc lpOriginator;
    std::uint32_t nRecipCount;
    lpMapiRecipDesc lpRecips;
    std::uint32_t nFileCount;
    lpMapiFileDesc lpFiles;
};
using lpMapiMessage = MapiMessage *;

// Recipient classes.
constexpr std::uint32_t MAPI_ORIG = 0;
constexpr std::uint32_t MAPI_TO = 1;
constexpr std::uint32_t MAPI_CC = 2;
constexpr std::uint32_t MAPI_BCC = 3;

// Flags.
constexpr FLAGS MAPI_LOGON_UI = 0x00000001;
constexpr FLAGS MAPI_NEW_SESSION = 0x00000002;
constexpr FLAGS MAPI_DIALOG = 0x00000008;
constexpr FLAGS MAPI_FORCE_DOWNLOAD = 0x00001000;
constexpr FLAGS MAPI_PASSWORD_UI = 0x00020000;
constexpr FLAGS MAPI_OLE = 0x00000001;
constexpr FLAGS MAPI_OLE_STATIC = 0x00000002;

// Results.
constexpr std::uint32_t SUCCESS_SUCCESS = 0;
constexpr std::uint32_t MAPI_USER_ABORT = 1;
constexpr std::uint32_t MAPI_E_USER_ABORT = MAPI_USER_ABORT;
constexpr std::uint32_t MAPI_E_FAILURE = 2;
constexpr std::uint32_t MAPI_E_LOGON_FAILURE = 3;
constexpr std::uint32_t MAPI_E_LOGIN_FAILURE = MAPI_E_LOGON_FAILURE;
constexpr std::uint32_t MAPI_E_DISK_FULL = 4;
constexpr std::uint32_t MAPI_E_INSUFFICIENT_MEMORY = 5;
constexpr std::uint32_t MAPI_E_ACCESS_DENIED = 6;
constexpr std::uint32_t MAPI_E_TOO_MANY_SESSIONS = 8;
constexpr std::uint32_t MAPI_E_TOO_MANY_FILES = 9;
constexpr std::uint32_t MAPI_E_TOO_MANY_RECIPIENTS = 10;
constexpr std::uint32_t MAPI_E_ATTACHMENT_NOT_FOUND = 11;
constexpr std::uint32_t MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;
constexpr std::uint32_t MAPI_E_ATTACHMENT_WRITE_FAILURE = 13;
constexpr std::uint32_t MAPI_E_UNKNOWN_RECIPIENT = 14;
constexpr std::uint32_t MAPI_E_BAD_RECIPTYPE = 15;
constexpr std::uint32_t MAPI_E_NO_MESSAGES = 16;
constexpr std::uint32_t MAPI_E_INVALID_MESSAGE = 17;
constexpr std::uint32_t MAPI_E_TEXT_TOO_LARGE = 18;
constexpr std::uint32_t MAPI_E_INVALID_SESSION = 19;
constexpr std::uint32_t MAPI_E_TYPE_NOT_SUPPORTED = 20;
constexpr std::uint32_t MAPI_E_AMBIGUOUS_RECIPIENT = 21;
constexpr std::uint32_t MAPI_E_MESSAGE_IN_USE = 22;
constexpr std::uint32_t MAPI_E_NETWORK_FAILURE = 23;
constexpr std::uint32_t MAPI_E_INVALID_EDITFIELDS = 24;
constexpr std::uint32_t MAPI_E_INVALID_RECIPS = 25;
constexpr std::uint32_t MAPI_E_NOT_SUPPORTED = 26;

extern "C" {

typedef std::uint32_t(WINAPI MAPILOGON)(ULONG_PTR ulUIParam, char *lpszProfileName, char *lpszPassword, FLAGS flFlags,
                                std::uint32_t ulReserved, LPLHANDLE lplhSession);
typedef std::uint32_t(WINAPI MAPILOGOFF)(LHANDLE lhSession, ULONG_PTR ulUIParam, FLAGS flFlags, std::uint32_t ulReserved);
typedef std::uint32_t(WINAPI MAPISENDMAIL)(LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage, FLAGS flFlags,
                                   std::uint32_t ulReserved);
typedef std::uint32_t(WINAPI MAPIRESOLVENAME)(LHANDLE lhSession, ULONG_PTR ulUIParam, char *lpszName, FLAGS flFlags,
                                      std::uint32_t ulReserved, lpMapiRecipDesc *lppRecip);
typedef std::uint32_t(WINAPI MAPIFREEBUFFER)(void *pv);

using LPMAPILOGON = MAPILOGON *;
using LPMAPILOGOFF = MAPILOGOFF *;
using LPMAPISENDMAIL = MAPISENDMAIL *;
using LPMAPIRESOLVENAME = MAPIRESOLVENAME *;
using LPMAPIFREEBUFFER = MAPIFREEBUFFER *;

MAPILOGON MAPILogon;
MAPILOGOFF MAPILogoff;
MAPISENDMAIL MAPISendMail;
MAPIRESOLVENAME MAPIResolveName;
MAPIFREEBUFFER MAPIFreeBuffer;

}  // extern "C"
