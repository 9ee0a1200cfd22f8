// A Simple MAPI provider for tests: every call is written to the record of
// FakeMapiState with its arguments, and answers as the test scripted it.
// Built whole and without MAPIFreeBuffer (FAKE_MAPI_WITHOUT_FREE_BUFFER).
#include "fake_mapi_state.h"
#include "mail/mapi.h"

#include <string>

namespace {

FakeMapiState &State() { return FakeMapiState::Instance(); }

std::string Quoted(const char *text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string RecipientText(const MapiRecipDesc &recipient)
{
    static const char *const CLASSES[] = {"ORIG", "TO", "CC", "BCC"};
    std::string text = recipient.ulRecipClass < 4 ? CLASSES[recipient.ulRecipClass] : Number(recipient.ulRecipClass);
    text += " " + Quoted(recipient.lpszName);
    if (recipient.lpszAddress || recipient.ulEIDSize || recipient.lpEntryID)
        text += " address=" + Quoted(recipient.lpszAddress) + " eid=" + Number(recipient.ulEIDSize);
    return text;
}

std::string FileText(const MapiFileDesc &file)
{
    return Number(file.nPosition) + " " + Quoted(file.lpszPathName) + " " + Quoted(file.lpszFileName) +
           (file.lpFileType ? " typed" : "");
}

template <typename Item, typename Describe>
std::string ListText(const Item *items, std::uint32_t count, Describe describe)
{
    if (count && !items)
        return "[missing]";
    std::string text = "[";
    for (std::uint32_t i = 0; i < count; ++i)
        text += (i ? ", " : "") + describe(items[i]);
    return text + "]";
}

std::string MessageText(const MapiMessage &message)
{
    const bool extras = message.lpszMessageType || message.lpszDateReceived || message.lpszConversationID ||
                        message.flFlags || message.lpOriginator;
    return "subject=" + Quoted(message.lpszSubject) + " note=" + Quoted(message.lpszNoteText) +
           " recips=" + ListText(message.lpRecips, message.nRecipCount, RecipientText) +
           " files=" + ListText(message.lpFiles, message.nFileCount, FileText) + (extras ? " extras" : "");
}

// Counts the fake's loads and unloads into the state, which outlasts it.
struct LoadNote {
    LoadNote() { State().NoteLoad(true); }
    ~LoadNote() { State().NoteLoad(false); }
} g_loadNote;

}  // namespace

extern "C" {

std::uint32_t MAPILogon(ULONG_PTR ulUIParam, char *lpszProfileName, char *lpszPassword, FLAGS flFlags,
                        std::uint32_t ulReserved, LPLHANDLE lplhSession)
{
    State().Record("MAPILogon(ui=" + Number(ulUIParam) + " profile=" + Quoted(lpszProfileName) +
                   " password=" + Quoted(lpszPassword) + " flags=" + Number(flFlags) +
                   " reserved=" + Number(ulReserved) + ")");
    *lplhSession = State().SessionHandle();
    return State().NextResult(FakeMapiFunction::Logon);
}

std::uint32_t MAPILogoff(LHANDLE lhSession, ULONG_PTR ulUIParam, FLAGS flFlags, std::uint32_t ulReserved)
{
    State().Record("MAPILogoff(session=" + Number(lhSession) + " ui=" + Number(ulUIParam) +
                   " flags=" + Number(flFlags) + " reserved=" + Number(ulReserved) + ")");
    return State().NextResult(FakeMapiFunction::Logoff);
}

std::uint32_t MAPIResolveName(LHANDLE lhSession, ULONG_PTR ulUIParam, char *lpszName, FLAGS flFlags,
                              std::uint32_t ulReserved, lpMapiRecipDesc *lppRecip)
{
    State().Record("MAPIResolveName(session=" + Number(lhSession) + " ui=" + Number(ulUIParam) +
                   " name=" + Quoted(lpszName) + " flags=" + Number(flFlags) + " reserved=" + Number(ulReserved) + ")");
    const std::uint32_t result = State().NextResult(FakeMapiFunction::ResolveName);
    *lppRecip = result == SUCCESS_SUCCESS ? State().NewRecipient(State().ResolvedName(lpszName ? lpszName : ""))
                                          : nullptr;
    return result;
}

std::uint32_t MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage, FLAGS flFlags,
                           std::uint32_t ulReserved)
{
    State().Record("MAPISendMail(session=" + Number(lhSession) + " ui=" + Number(ulUIParam) +
                   " flags=" + Number(flFlags) + " reserved=" + Number(ulReserved) + " " +
                   (lpMessage ? MessageText(*lpMessage) : "null") + ")");
    return State().NextResult(FakeMapiFunction::SendMail);
}

#ifndef FAKE_MAPI_WITHOUT_FREE_BUFFER
std::uint32_t MAPIFreeBuffer(void *pv)
{
    const bool known = State().FreeRecipient(pv);
    State().Record(known ? "MAPIFreeBuffer(resolved)" : "MAPIFreeBuffer(unknown)");
    return known ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}
#endif

}  // extern "C"
