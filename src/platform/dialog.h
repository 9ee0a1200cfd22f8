// CDialog: a modeless dialog built from a template: a dialog resource of
// the module on Windows, dialog_template.h elsewhere.
// The derived class owns the object; Create makes the window and its
// controls, then runs OnInitDialog once. Owner thread only.
#pragma once

#include "platform/wnd.h"

struct DialogTemplate;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd *parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Creates the window from template `templateId` of the calling thread's
    // current resource module, as a child of `parent` when the template
    // says WS_CHILD. FALSE (and no window) when the template is not found,
    // the window already exists or the window cannot be made.
    BOOL Create(UINT templateId, CWnd *parent = nullptr);

    // Binds the controls and puts the members into them; TRUE lets the
    // dialog give the focus to its first tab stop.
    virtual BOOL OnInitDialog();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    UINT m_nIDTemplate;
    CWnd *m_pParentWnd;

#if !defined(_WIN32)
private:
    BOOL CreateFrom(const DialogTemplate &dialog, HWND parent);
    BOOL CreateItems(const DialogTemplate &dialog);
    void SetDefaultFocus(const DialogTemplate &dialog);
#endif
};
