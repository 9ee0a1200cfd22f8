#include "platform/map_string_to_string.h"

CMapStringToString::CMapStringToString(int /*blockSize*/) {}

CMapStringToString::~CMapStringToString() = default;

BOOL CMapStringToString::Lookup(const CString &key, CString &value) const
{
    const auto found = m_pairs.find(key);
    if (found == m_pairs.end())
        return FALSE;
    value = found->second;
    return TRUE;
}
