// The plug-in as a host uses it, for the end-to-end benchmark's child
// processes: one host thread pumping the notifications, the plug-in's
// workers delivering. The host keeps no copy of a message once Send has
// returned, as a careful host would.
#pragma once

#include <cstddef>
#include <string>

// Sends `messages` turns of about `bodyBytes` to `server` ("HOST:PORT"), all
// handed to Send at once, as a host does with the turns it has queued (not
// as `morv-host send`, which waits for each file's outcome to keep their
// order), and waits for every outcome. True when all were delivered.
bool RunPluginClient(const std::string &plugin, const std::string &server, int messages, std::size_t bodyBytes);
// Sends one turn of `bodyBytes` and prints the peak resident size and the
// size before the body was made, in KiB, to standard output. True when it
// was delivered.
bool RunBigTurn(const std::string &plugin, const std::string &server, std::size_t bodyBytes);
