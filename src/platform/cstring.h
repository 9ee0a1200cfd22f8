// CString: 8-bit text in the host's ANSI code page (Windows-1251 here).
// A value type over std::string; it may hold NUL bytes, which the
// conversion to `const char *` then ends the text at.
#pragma once

#include "platform/win_types.h"

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char *text);  // NOLINT: implicit, as in the framework; null reads as empty
    CString(const char *data, std::size_t length);
    CString(std::string text) : m_text(std::move(text)) {}  // NOLINT
    explicit CString(std::string_view text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    operator const char *() const { return m_text.c_str(); }  // NOLINT
    const char *GetString() const { return m_text.c_str(); }
    const std::string &str() const { return m_text; }
    std::string_view view() const { return m_text; }
    char GetAt(int index) const { return m_text[static_cast<std::size_t>(index)]; }
    char operator[](int index) const { return GetAt(index); }

    // printf-style; the format is checked at compile time.
    void Format(const char *format, ...) __attribute__((format(printf, 2, 3)));
    static CString Formatted(const char *format, ...) __attribute__((format(printf, 1, 2)));
    void FormatV(const char *format, va_list arguments) __attribute__((format(printf, 2, 0)));

    // Loads string `id` from the calling thread's current resource module,
    // in the process's resource language. Empty text and FALSE when absent.
    BOOL LoadString(UINT id);

    int Find(char ch, int start = 0) const;
    int Find(const char *sub, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    // Trims blank, tab, LF, VT, FF and CR.
    CString &Trim();
    CString &TrimLeft();
    CString &TrimRight();

    // Direct access for in-place transforms: the buffer holds GetLength()
    // bytes (at least minLength after growing); ReleaseBuffer(-1) takes the
    // length up to the first NUL.
    char *GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);

    CString &operator+=(const CString &other) { m_text += other.m_text; return *this; }
    CString &operator+=(const char *other) { m_text += (other ? other : ""); return *this; }
    CString &operator+=(char ch) { m_text += ch; return *this; }

    friend CString operator+(CString left, const CString &right) { return left += right; }
    friend CString operator+(CString left, const char *right) { return left += right; }
    friend CString operator+(const char *left, const CString &right) { return CString(left) += right; }

    friend bool operator==(const CString &a, const CString &b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString &a, const char *b) { return a.m_text == (b ? b : ""); }
    friend auto operator<=>(const CString &a, const CString &b) { return a.m_text <=> b.m_text; }

private:
    std::string m_text;
};

template <>
struct std::hash<CString> {
    std::size_t operator()(const CString &text) const noexcept
    {
        return std::hash<std::string>()(text.str());
    }
};
