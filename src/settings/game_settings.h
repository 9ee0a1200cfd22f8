// GameSettings: one open game's transport settings, as text pairs keyed by
// setting name. Registered records live in g_mapGames under g_mutexGames;
// the edit copy of the configuration page lives on the host's thread.
#pragma once

#include "platform/map_string_to_string.h"

// Setting keys.
inline constexpr const char *KEY_GAME_NAME = "GameName";
inline constexpr const char *KEY_MAILER = "Mailer";
inline constexpr const char *KEY_SERVER_SMTP = "ServerSMTP";
inline constexpr const char *KEY_FROM = "From";
inline constexpr const char *KEY_TO = "To";
inline constexpr const char *KEY_SUBJECT = "Subject";
inline constexpr const char *KEY_ACTION = "Action";
// Settings the configuration page does not show: how the SMTP client
// protects and logs in to the connection.
inline constexpr const char *KEY_SECURITY = "Security";
inline constexpr const char *KEY_LOGIN = "Login";
inline constexpr const char *KEY_TLS_CA_FILE = "TlsCaFile";
// Message keys beside the settings.
inline constexpr const char *KEY_BODY = "Body";

// Mailer numbers, kept in "Mailer" as decimal text.
constexpr int MAILER_SMTP = 0;
constexpr int MAILER_MAPI = 1;
constexpr int MAILER_FILE = 2;

// The mailer number of a "Mailer" text by the atoi rule: leading white
// space, optional sign, digits; no digits read 0.
int MailerNumber(const CString &text);

class GameSettings : public CMapStringToString {
public:
    // A record holding exactly "GameName" = name.
    explicit GameSettings(const CString &name);
    // A record holding a copy of every pair of the source.
    explicit GameSettings(const CMapStringToString &source);
    ~GameSettings() override;

    // Sets each of this record's pairs in the target; the target keeps its
    // other pairs.
    void ExportTo(CMapStringToString &target) const;
    // Sets each of the source's pairs in this record; keeps the others.
    void MergeFrom(const CMapStringToString &source);
};

// Writes every pair of `source` into `target`, replacing equal keys.
void MergePairs(CMapStringToString &target, const CMapStringToString &source);
