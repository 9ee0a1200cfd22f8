// CWinApp: the application object of a module. The module's own resources
// are m_hInstance; code of the module that needs them switches the calling
// thread's resource handle to it (ResourceHandleSwitch).
#pragma once

#include "platform/resources.h"

class CWinApp {
public:
    explicit CWinApp(HINSTANCE instance) : m_hInstance(instance) {}
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    const HINSTANCE m_hInstance;
};
