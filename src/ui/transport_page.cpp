#include "ui/transport_page.h"

#include "app/edit_copy.h"
#include "platform/ddx.h"
#include "settings/game_settings.h"

const MessageMapEntry CTransportPage::s_messageEntries[] = {
    OnCommandNotify(EN_KILLFOCUS, IDC_TO, &CTransportPage::OnKillfocusTo),
    OnCommandNotify(EN_KILLFOCUS, IDC_SUBJECT, &CTransportPage::OnKillfocusSubject),
    OnCommandNotify(CBN_KILLFOCUS, IDC_MAILER, &CTransportPage::OnKillfocusMailer),
    OnCommandNotify(CBN_SELCHANGE, IDC_MAILER, &CTransportPage::OnSelchangeMailer),
    OnCommandNotify(EN_KILLFOCUS, IDC_SERVER_SMTP, &CTransportPage::OnKillfocusServerSmtp),
    OnCommandNotify(EN_KILLFOCUS, IDC_FROM, &CTransportPage::OnKillfocusFrom),
    OnCommandNotify(EN_KILLFOCUS, IDC_ACTION, &CTransportPage::OnKillfocusAction),
};

const MessageMap CTransportPage::s_messageMap{&CDialog::s_messageMap, s_messageEntries};

CTransportPage::CTransportPage(CWnd *parent) : CDialog(IDD, parent) {}

CTransportPage::~CTransportPage() = default;

const MessageMap *CTransportPage::GetMessageMap() const { return &s_messageMap; }

void CTransportPage::DoDataExchange(CDataExchange *dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LABEL_ACTION, m_labelAction);
    DDX_Control(dx, IDC_ACTION, m_editAction);
    DDX_Control(dx, IDC_LABEL_SMTP, m_labelSmtp);
    DDX_Control(dx, IDC_SERVER_SMTP, m_editServerSmtp);
    DDX_Control(dx, IDC_MAILER, m_comboMailer);
    DDX_Text(dx, IDC_SUBJECT, m_strSubject);
    DDX_Text(dx, IDC_TO, m_strTo);
    DDX_Text(dx, IDC_SERVER_SMTP, m_strServerSmtp);
    DDX_Text(dx, IDC_FROM, m_strFrom);
    DDX_Text(dx, IDC_ACTION, m_strAction);
}

// The keys are read through the index operator on purpose: each absent
// one is added empty, so an applied edit copy holds every setting.
BOOL CTransportPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    CMapStringToString fallback;
    CMapStringToString &settings = g_pEditSettings ? *g_pEditSettings : fallback;
    ReadTexts(settings);
    m_comboMailer.AddString("SMTP");
    m_comboMailer.AddString("MAPI");
    const int mailer = MailerNumber(settings[KEY_MAILER]);
    m_comboMailer.SetCurSel(mailer);
    ShowMailerFields(mailer);
    UpdateData(FALSE);
    return TRUE;
}

void CTransportPage::ReadTexts(CMapStringToString &settings)
{
    m_strFrom = settings[KEY_FROM];
    m_strSubject = settings[KEY_SUBJECT];
    m_strTo = settings[KEY_TO];
    m_strServerSmtp = settings[KEY_SERVER_SMTP];
    m_strAction = settings[KEY_ACTION];
}

void CTransportPage::ShowMailerFields(int mailer)
{
    const int smtpRow = mailer == MAILER_SMTP ? SW_SHOW : SW_HIDE;
    const int actionRow = mailer == MAILER_FILE ? SW_SHOW : SW_HIDE;
    m_editServerSmtp.ShowWindow(smtpRow);
    m_labelSmtp.ShowWindow(smtpRow);
    m_editAction.ShowWindow(actionRow);
    m_labelAction.ShowWindow(actionRow);
}

void CTransportPage::StoreText(const char *key, CString CTransportPage::*text)
{
    if (!g_pEditSettings)
        return;
    UpdateData(TRUE);
    g_pEditSettings->SetAt(key, this->*text);
}

void CTransportPage::OnKillfocusTo() { StoreText(KEY_TO, &CTransportPage::m_strTo); }

void CTransportPage::OnKillfocusSubject() { StoreText(KEY_SUBJECT, &CTransportPage::m_strSubject); }

void CTransportPage::OnKillfocusServerSmtp() { StoreText(KEY_SERVER_SMTP, &CTransportPage::m_strServerSmtp); }

void CTransportPage::OnKillfocusFrom() { StoreText(KEY_FROM, &CTransportPage::m_strFrom); }

void CTransportPage::OnKillfocusAction() { StoreText(KEY_ACTION, &CTransportPage::m_strAction); }

void CTransportPage::OnKillfocusMailer()
{
    if (!g_pEditSettings)
        return;
    UpdateData(TRUE);
    const int selected = m_comboMailer.GetCurSel();
    if (selected >= 0)
        g_pEditSettings->SetAt(KEY_MAILER, CString::Formatted("%d", selected));
}

void CTransportPage::OnSelchangeMailer() { ShowMailerFields(m_comboMailer.GetCurSel()); }
