// How notifications and settings are written for people and for scripts.
// Pure functions over copied notifications; the printer adds the stream.
//
// Porcelain, one line per notification, stable for scripts:
//   text<TAB>TEXT     the text in UTF-8 with CR, LF, TAB, backslash escaped
//   status<TAB>0xNN   two lower-case hex digits
//   sent<TAB>JSON     the record's pairs as one JSON object in UTF-8
// Text is escaped so that no control character reaches a terminal raw.
#pragma once

#include "host/text/notification.h"

#include <string>
#include <string_view>

enum class OutputForm { Human, Porcelain };

// CR, LF, TAB and backslash written as \r, \n, \t and \\; every other
// control character (C0, DEL and, in UTF-8, C1) as \xNN.
std::string EscapeText(std::string_view text);
// The set bits by name ("SENDING|UNSENT|BUSY"), or "none".
std::string StatusBitNames(DWORD word);
// "0x0d".
std::string StatusHex(DWORD word);
// The pairs of a Windows-1251 map as one JSON object in UTF-8, keys sorted.
std::string PairsJson(const CMapStringToString &pairs);

// The line for one notification, without its line end. Human lines are in
// UTF-8; the printer converts them to the terminal's encoding.
std::string FormatNotification(OutputForm form, const HostNotification &notification);
// A line of the SMTP transcript ("TIME MARK TEXT") without its time:
//   human:     > EHLO host
//   porcelain: smtp<TAB>> EHLO host
// escaped as text is.
std::string FormatTranscriptLine(OutputForm form, std::string_view line);
// The lines that show a game's settings.
std::string FormatSettings(OutputForm form, const CMapStringToString &pairs);
// The line that `list` shows for a game (UTF-8 name, Windows-1251 pairs),
// without its line end: its mailer, server and recipients.
//   human:     NAME: MAILER, server SERVER, to RECIPIENTS
//   porcelain: game<TAB>NAME<TAB>MAILER<TAB>SERVER<TAB>RECIPIENTS (escaped)
std::string FormatGameLine(OutputForm form, const std::string &game, const CMapStringToString &pairs);
