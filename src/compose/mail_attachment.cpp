#include "compose/mail_attachment.h"

CString CMailAttachment::BuildPartHead() const
{
    return CString::Formatted("\r\n\r\n--#BOUNDARY#\r\n"
                              "Content-Type: application/octet-stream; name=%s\r\n"
                              "Content-Transfer-Encoding: base64\r\n"
                              "Content-Disposition: attachment; filename=%s\r\n\r\n",
                              m_name.GetString(), m_fileName.GetString());
}
