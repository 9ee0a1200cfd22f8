// Resource ids of the plug-in module.
#pragma once

#define IDS_INIT 1
#define IDS_CLOSED 2
#define IDS_LOADED 3
#define IDS_SAVED 4
#define IDS_READY 6
#define IDS_INIT_FAILED 7
#define IDS_ERROR 8
#define IDS_FIELD_MISSING 9
#define IDS_SENT 10
#define IDS_ABORTED 11
#define IDS_CHECK_OK 12
#define IDS_SENDING 13

#define IDD_TRANSPORT_PAGE 129
#define IDD_MAPI_ACCOUNT 130
#define IDD_SERVER_CHECK 131

#define IDC_SUBJECT 1012
#define IDC_SERVER_SMTP 1013
#define IDC_ACTION 1014
#define IDC_TO 1061
#define IDC_FROM 1062
#define IDC_MAILER 1063
#define IDC_LABEL_SMTP 1064
#define IDC_LABEL_ACTION 1065
#define IDC_STATIC (-1)
