// ScopedVariable: an environment variable set (or, with a null value,
// cleared) for as long as the object lives, then put back as it was.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedVariable {
public:
    ScopedVariable(std::string name, const char *value) : m_name(std::move(name))
    {
        if (const char *old = std::getenv(m_name.c_str()))
            m_old = old;
        Set(value);
    }
    ~ScopedVariable() { Set(m_old ? m_old->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

#if defined(_WIN32)
    // An empty value removes the variable there.
    void Set(const char *value) { _putenv_s(m_name.c_str(), value ? value : ""); }
#else
    void Set(const char *value) { value ? setenv(m_name.c_str(), value, 1) : unsetenv(m_name.c_str()); }
#endif

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
