#include "platform/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

constexpr std::string_view WHITE_SPACE = " \t\n\v\f\r";

__attribute__((format(printf, 1, 0))) std::string FormatArguments(const char *format, va_list arguments)
{
    va_list measure;
    va_copy(measure, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    return text;
}

}  // namespace

CString::CString(const char *text) : m_text(text ? text : "") {}

CString::CString(const char *data, std::size_t length) : m_text(data, length) {}

void CString::Format(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    m_text = FormatArguments(format, arguments);
    va_end(arguments);
}

void CString::FormatV(const char *format, va_list arguments) { m_text = FormatArguments(format, arguments); }

CString CString::Formatted(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    CString text(FormatArguments(format, arguments));
    va_end(arguments);
    return text;
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const auto found = m_text.find(ch, static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::Find(const char *sub, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const auto found = m_text.find(sub ? sub : "", static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(m_text.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength() || count <= 0)
        return CString();
    return CString(m_text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(m_text.substr(m_text.size() - static_cast<std::size_t>(count)));
}

CString &CString::Trim() { return TrimRight().TrimLeft(); }

CString &CString::TrimLeft()
{
    m_text.erase(0, std::min(m_text.find_first_not_of(WHITE_SPACE), m_text.size()));
    return *this;
}

CString &CString::TrimRight()
{
    const auto last = m_text.find_last_not_of(WHITE_SPACE);
    m_text.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

char *CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_text.resize(static_cast<std::size_t>(minLength));
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::char_traits<char>::length(m_text.c_str()));
    m_text.resize(static_cast<std::size_t>(newLength));
}
