// The name look-up of the socket layer: a host name to the addresses a
// connection may be tried on, IPv6 and IPv4 in the order the resolver gives
// them. It runs on the calling thread but waits on the resolver's sockets
// together with the abort event, so a look-up that never answers ends
// within one poll of a stop request, like every other wait of a session.
// The name servers are the system's (/etc/resolv.conf, /etc/hosts first),
// or those MORV_DNS_SERVERS lists ("192.0.2.53,[2001:db8::53]:5353").
#pragma once

#include "platform/event.h"
#include "platform/win_types.h"
#include "smtp/socket_address.h"

// 0 with `addresses` filled (each on `port`); otherwise WSAEINVAL when the
// name does not resolve, WSAETIMEDOUT after `timeout` ms, WSAEINTR when
// `abort` (may be null) is signalled, or the system's error of a failed
// wait. `addresses` is left empty on failure.
DWORD LookUpName(const char *host, unsigned short port, const CEvent *abort, DWORD timeout,
                 SocketAddresses &addresses);

// The environment variable that names other name servers than the system's.
constexpr const char *DNS_SERVERS_VARIABLE = "MORV_DNS_SERVERS";
