#include "compose/mail_address.h"

CString CMailAddress::GetDisplayText() const
{
    if (m_displayName.IsEmpty())
        return m_address;
    return CString::Formatted("%s <%s>", m_displayName.GetString(), m_address.GetString());
}
