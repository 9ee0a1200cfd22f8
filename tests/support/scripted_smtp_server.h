// The tests' scripted SMTP server is the host's loopback server: scripts
// per connection, or the well-behaved dialogue with per-command overrides,
// a hold step, and every byte received recorded.
#pragma once

#include "host/loopback_smtp_server.h"

using ScriptedSmtpServer = LoopbackSmtpServer;
