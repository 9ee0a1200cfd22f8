// The lines the fake provider records, built the way it writes them, so
// that a test states the whole expected transcript.
#pragma once

#include <string>

namespace fake_calls {

inline const std::string SESSION = "42";

inline std::string LogonDefault()
{
    return "MAPILogon(ui=0 profile=\"Default\" password=\"\" flags=2 reserved=0)";
}

inline std::string Attach() { return "MAPILogon(ui=0 profile=null password=null flags=0 reserved=0)"; }

inline std::string Resolve(const std::string &name)
{
    return "MAPIResolveName(session=" + SESSION + " ui=0 name=\"" + name + "\" flags=0 reserved=0)";
}

inline std::string Free() { return "MAPIFreeBuffer(resolved)"; }

// `recips` and `files` as the fake lists them, e.g. "TO \"a@b\"".
inline std::string Send(const std::string &subject, const std::string &note, const std::string &recips,
                        const std::string &files = "")
{
    return "MAPISendMail(session=" + SESSION + " ui=0 flags=0 reserved=0 subject=\"" + subject + "\" note=\"" +
           note + "\" recips=[" + recips + "] files=[" + files + "])";
}

inline std::string Logoff() { return "MAPILogoff(session=" + SESSION + " ui=0 flags=0 reserved=0)"; }

}  // namespace fake_calls
