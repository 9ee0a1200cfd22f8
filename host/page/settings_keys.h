// The settings a user assigns on the command line, and which of them the
// plug-in's configuration page shows in which control.
#pragma once

#include "platform/map_string_to_string.h"

#include <string>
#include <utility>
#include <vector>

// KEY=VALUE pairs in command-line order, UTF-8.
using Assignments = std::vector<std::pair<std::string, std::string>>;

// Sets each pair in a Windows-1251 map; throws TextCodecError for text
// without a Windows-1251 form.
void PutAssignments(CMapStringToString &pairs, const Assignments &assignments);

// Splits "KEY=VALUE" at the first "="; throws UsageError without one or
// with an empty key.
std::pair<std::string, std::string> ParseAssignment(const std::string &text);

// The id of the transport page's control that shows `key`, or 0 for a key
// the page does not show.
int PageControlId(const std::string &key);
// "From", "To", "Subject", "ServerSMTP", "Action" and "Mailer".
bool IsPageKey(const std::string &key);

// Every setting the plug-in knows: the page's keys, "GameName", and the
// SMTP client's "Security", "Login" and "TlsCaFile".
const std::vector<std::string> &KnownKeys();

// The value `config` stores for KEY=VALUE (connection_settings.h says
// which values of the SMTP client's keys it changes). Refuses, with a
// UsageError, what `config` must not store: "GameName" (the game's name,
// which cannot change), a key the plug-in does not know unless `force`
// (naming the known key it was perhaps meant to be), a "ServerSMTP" whose
// port lies outside 1-65535 and a connection value the plug-in would refuse.
std::string CheckConfigAssignment(const std::string &key, const std::string &value, bool force);

// The mailer list's index for a "Mailer" value: "0"/"SMTP" gives 0,
// "1"/"MAPI" gives 1 (any letter case); throws UsageError otherwise.
int MailerListIndex(const std::string &value);
