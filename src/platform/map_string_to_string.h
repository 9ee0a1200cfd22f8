// CMapStringToString: a hash map from text to text. Reading an absent key
// through operator[] adds it with an empty value; Lookup never adds.
// Not synchronised: the owner guards it where threads share it.
#pragma once

#include "platform/cstring.h"

#include <unordered_map>

class CMapStringToString {
public:
    using Pairs = std::unordered_map<CString, CString>;

    explicit CMapStringToString(int blockSize = 10);
    CMapStringToString(const CMapStringToString &) = default;
    CMapStringToString &operator=(const CMapStringToString &) = default;
    CMapStringToString(CMapStringToString &&) = default;
    CMapStringToString &operator=(CMapStringToString &&) = default;
    virtual ~CMapStringToString();

    CString &operator[](const CString &key) { return m_pairs[key]; }
    BOOL Lookup(const CString &key, CString &value) const;
    void SetAt(const CString &key, const CString &value) { m_pairs[key] = value; }
    BOOL RemoveKey(const CString &key) { return m_pairs.erase(key) != 0; }
    void RemoveAll() { m_pairs.clear(); }
    int GetCount() const { return static_cast<int>(m_pairs.size()); }
    bool IsEmpty() const { return m_pairs.empty(); }

    Pairs::const_iterator begin() const { return m_pairs.begin(); }
    Pairs::const_iterator end() const { return m_pairs.end(); }

    friend bool operator==(const CMapStringToString &a, const CMapStringToString &b)
    {
        return a.m_pairs == b.m_pairs;
    }

private:
    Pairs m_pairs;
};
