#include "host/loopback/smtp_script.h"

SmtpScript &SmtpScript::Add(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

SmtpScript &SmtpScript::ReplyInPieces(std::vector<std::string> pieces, DWORD pauseMs)
{
    return Add({Kind::Reply, std::move(pieces), pauseMs});
}

SmtpScript &SmtpScript::Dribble(const std::string &text, DWORD pauseMs)
{
    std::vector<std::string> bytes;
    for (const char ch : text)
        bytes.emplace_back(1, ch);
    return ReplyInPieces(std::move(bytes), pauseMs);
}
