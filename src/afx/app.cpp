#include <zuvuvur/afx/app.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "kxplatform.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

BOOL CWinThread::InitInstance() { return TRUE; }
int CWinThread::ExitInstance() { return 0; }

CWinApp::CWinApp(const char* appName) noexcept : m_pszAppName(appName) {}

CWinApp::~CWinApp() { std::free(m_ownedAppName); }

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

// ---- Module state ---------------------------------------------------------------

AFX_MODULE_STATE* AfxGetModuleState() {
    // The process's (the host's) module state: the framework's own, made on
    // first use. Its instance handle is the executable's.
    static AFX_MODULE_STATE state = {kxp::executable_module(), kxp::executable_module(), nullptr};
    return &state;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

// ---- Start-up and termination of a loaded library ---------------------------------

namespace {

// The module's file name without folder and extension: the default app name.
char* DefaultAppName(HMODULE module) {
    std::string path = kxp::module_path(module);
    std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return strdup(name.c_str());
}

void Unlink(CWinApp& app) {
    for (CDynLinkLibrary** link = &AfxGetModuleState()->m_libraryList; *link;
         link = &(*link)->m_pNextDLL) {
        if ((*link)->m_pApp == &app) {
            CDynLinkLibrary* dead = *link;
            *link = dead->m_pNextDLL;
            delete dead;
            return;
        }
    }
}

}  // namespace

CDllModule::CDllModule(CWinApp& app) : m_app(app) {
    HMODULE module = kxp::module_of_address(&app);
    app.m_hInstance = module;
    if (!app.m_pszAppName) {
        app.m_ownedAppName = DefaultAppName(module);
        app.m_pszAppName = app.m_ownedAppName;
    }
    if (!app.InitInstance()) {
        app.ExitInstance();
        return;
    }
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_libraryList = new CDynLinkLibrary{module, &app, state->m_libraryList};
}

CDllModule::~CDllModule() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    for (CDynLinkLibrary* dll = state->m_libraryList; dll; dll = dll->m_pNextDLL) {
        if (dll->m_pApp == &m_app) {
            m_app.ExitInstance();
            Unlink(m_app);
            return;
        }
    }
}
