// CString: 8-bit text in the host's ANSI code page (Windows-1251 here).
// A value type over std::string; it may hold NUL bytes, which the
// conversion to `const char *` then ends the text at. As the framework's
// CString, copies of a long text share one buffer (a turn's body is copied
// from the host's map into the queue, the working record and the host's
// copy of the sent record): the shared buffer is never changed, a change
// makes the changed copy its own. Copies may live on different threads.
#pragma once

#include "platform/win_types.h"

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The printf dialect that Format follows: C99's (mingw-w64's own printf on
// Windows, not the system library's older one).
#if defined(_WIN32)
#define MORV_PRINTF gnu_printf
#else
#define MORV_PRINTF printf
#endif

class CString {
public:
    CString() = default;
    CString(const char *text);  // NOLINT: implicit, as in the framework; null reads as empty
    CString(const char *data, std::size_t length);
    CString(std::string text);  // NOLINT
    explicit CString(std::string_view text);

    int GetLength() const { return static_cast<int>(Text().size()); }
    bool IsEmpty() const { return Text().empty(); }
    void Empty() { Assign(std::string()); }

    operator const char *() const { return Text().c_str(); }  // NOLINT
    const char *GetString() const { return Text().c_str(); }
    const std::string &str() const { return Text(); }
    std::string_view view() const { return Text(); }
    char GetAt(int index) const { return Text()[static_cast<std::size_t>(index)]; }
    char operator[](int index) const { return GetAt(index); }

    // printf-style; the format is checked at compile time.
    void Format(const char *format, ...) __attribute__((format(MORV_PRINTF, 2, 3)));
    static CString Formatted(const char *format, ...) __attribute__((format(MORV_PRINTF, 1, 2)));
    void FormatV(const char *format, va_list arguments) __attribute__((format(MORV_PRINTF, 2, 0)));

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
    // length up to the first NUL. The buffer is this object's own until the
    // next call of a member that changes the text.
    char *GetBuffer(int minLength = 0);
    void ReleaseBuffer(int newLength = -1);

    CString &operator+=(const CString &other) { return Append(other.view()); }
    CString &operator+=(const char *other) { return Append(other ? other : ""); }
    CString &operator+=(char ch) { return Append(std::string_view(&ch, 1)); }

    friend CString operator+(CString left, const CString &right) { return left += right; }
    friend CString operator+(CString left, const char *right) { return left += right; }
    friend CString operator+(const char *left, const CString &right) { return CString(left) += right; }

    friend bool operator==(const CString &a, const CString &b) { return a.Text() == b.Text(); }
    friend bool operator==(const CString &a, const char *b) { return a.Text() == (b ? b : ""); }
    friend auto operator<=>(const CString &a, const CString &b) { return a.Text() <=> b.Text(); }

private:
    // Texts this long or longer are shared between copies.
    static constexpr std::size_t SHARED_LENGTH = 4096;

    const std::string &Text() const { return m_shared ? *m_shared : m_text; }
    void Assign(std::string text);
    CString &Append(std::string_view text);
    // The text as this object's own, to change in place; Settle after.
    std::string &Owned();
    // Shares the text from now on when it is long.
    void Settle();

    std::string m_text;                           // the text, unless it is shared
    std::shared_ptr<const std::string> m_shared;  // the text, when it is shared
};

template <>
struct std::hash<CString> {
    std::size_t operator()(const CString &text) const noexcept
    {
        return std::hash<std::string>()(text.str());
    }
};
