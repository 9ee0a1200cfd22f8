// CTransportPage: the configuration page placed in the host's settings
// window. It shows the edit copy's settings and writes each field into the
// edit copy (g_pEditSettings) when that field loses the focus. The host
// owns the object once it is a tree item's data. Host's UI thread only.
#pragma once

#include "platform/combo_box.h"
#include "platform/dialog.h"
#include "platform/edit.h"
#include "platform/static_control.h"
#include "resources/resource.h"

class CMapStringToString;

class CTransportPage : public CDialog {
public:
    static constexpr UINT IDD = IDD_TRANSPORT_PAGE;

    explicit CTransportPage(CWnd *parent = nullptr);
    ~CTransportPage() override;

    // Shows the SMTP server row for SMTP (0), the action row for FILE (2),
    // neither for any other mailer.
    void ShowMailerFields(int mailer);

protected:
    const MessageMap *GetMessageMap() const override;
    void DoDataExchange(CDataExchange *dx) override;
    BOOL OnInitDialog() override;

    void OnKillfocusTo();
    void OnKillfocusSubject();
    void OnKillfocusMailer();
    void OnSelchangeMailer();
    void OnKillfocusServerSmtp();
    void OnKillfocusFrom();
    void OnKillfocusAction();

private:
    void ReadTexts(CMapStringToString &settings);
    void StoreText(const char *key, CString CTransportPage::*text);

    static const MessageMapEntry s_messageEntries[];
    static const MessageMap s_messageMap;

    CStatic m_labelAction;
    CEdit m_editAction;
    CStatic m_labelSmtp;
    CEdit m_editServerSmtp;
    CComboBox m_comboMailer;
    CString m_strSubject;
    CString m_strTo;
    CString m_strServerSmtp;
    CString m_strFrom;
    CString m_strAction;
};
