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

CString::CString(const char *text) { Assign(text ? text : ""); }

CString::CString(const char *data, std::size_t length) { Assign(std::string(data, length)); }

CString::CString(std::string text) { Assign(std::move(text)); }

CString::CString(std::string_view text) { Assign(std::string(text)); }

void CString::Assign(std::string text)
{
    m_shared.reset();
    m_text = std::move(text);
    Settle();
}

std::string &CString::Owned()
{
    if (m_shared) {
        m_text = *m_shared;
        m_shared.reset();
    }
    return m_text;
}

void CString::Settle()
{
    if (m_text.size() < SHARED_LENGTH)
        return;
    m_shared = std::make_shared<const std::string>(std::move(m_text));
    m_text = std::string();
}

// A long text is copied for the change: the shared buffer stays as it is,
// and alive until the end, since `text` may be a view of it.
CString &CString::Append(std::string_view text)
{
    const std::shared_ptr<const std::string> viewed = m_shared;
    Owned().append(text);
    Settle();
    return *this;
}

void CString::Format(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    Assign(FormatArguments(format, arguments));
    va_end(arguments);
}

void CString::FormatV(const char *format, va_list arguments) { Assign(FormatArguments(format, arguments)); }

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
    const auto found = Text().find(ch, static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int CString::Find(const char *sub, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const auto found = Text().find(sub ? sub : "", static_cast<std::size_t>(start));
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(view().substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength() || count <= 0)
        return CString();
    return CString(view().substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(view().substr(view().size() - static_cast<std::size_t>(count)));
}

CString &CString::Trim() { return TrimRight().TrimLeft(); }

CString &CString::TrimLeft()
{
    const std::string_view text = view();
    const std::size_t first = std::min(text.find_first_not_of(WHITE_SPACE), text.size());
    if (first != 0)
        Assign(std::string(text.substr(first)));
    return *this;
}

CString &CString::TrimRight()
{
    const std::string_view text = view();
    const auto last = text.find_last_not_of(WHITE_SPACE);
    const std::size_t length = last == std::string::npos ? 0 : last + 1;
    if (length != text.size())
        Assign(std::string(text.substr(0, length)));
    return *this;
}

char *CString::GetBuffer(int minLength)
{
    std::string &text = Owned();
    if (minLength > GetLength())
        text.resize(static_cast<std::size_t>(minLength));
    return text.data();
}

void CString::ReleaseBuffer(int newLength)
{
    std::string &text = Owned();
    if (newLength < 0)
        newLength = static_cast<int>(std::char_traits<char>::length(text.c_str()));
    text.resize(static_cast<std::size_t>(newLength));
    Settle();
}
