// The control ids that the public header gives hosts are the dialog
// template's own, so neither can change without the other.
#include "morvtransport/morvtransport.h"
#include "resources/resource.h"

static_assert(MORV_IDC_SUBJECT == IDC_SUBJECT);
static_assert(MORV_IDC_SERVER_SMTP == IDC_SERVER_SMTP);
static_assert(MORV_IDC_ACTION == IDC_ACTION);
static_assert(MORV_IDC_TO == IDC_TO);
static_assert(MORV_IDC_FROM == IDC_FROM);
static_assert(MORV_IDC_MAILER == IDC_MAILER);
