// The application-object chain (CCmdTarget, CWinThread, CWinApp), message
// maps, the module state and the framework's start-up for a loaded library.
//
// A library built on the framework defines exactly one application object and
// places AFX_DLL_MODULE after it in the same file:
//
//     CMyApp theApp;
//     AFX_DLL_MODULE(theApp)
//
// When the library is loaded, AFX_DLL_MODULE runs the framework's start-up
// for it (after the application object is built): the application name
// defaults to the module's file name without extension, InitInstance runs,
// and on success the library enters the framework's chain of loaded
// libraries. When it is unloaded, ExitInstance runs and the library leaves
// the chain, before the application object is destroyed.
//
// On Windows a failed InitInstance fails the load. A POSIX loader cannot be
// told to fail, so there the failed library runs ExitInstance at once and
// simply stays out of the chain.
#pragma once

#include "objects.h"

class CCmdTarget;
using AFX_PMSG = void (CCmdTarget::*)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT_PTR nSig;  // 0 ends the map
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
  protected:                                      \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                        \
    { 0, 0, 0, 0, 0, nullptr }                                                                   \
    }                                                                                            \
    ;                                                                                            \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
    return &messageMap;                                                                          \
    }

class KXAFX_API CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
  public:
    CCmdTarget() noexcept = default;
    // The class's message map; the chain of maps ends at CCmdTarget's, whose
    // base-map link is null.
    virtual const AFX_MSGMAP* GetMessageMap() const;

  protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

class KXAFX_API CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
  public:
    CWinThread() noexcept = default;
    virtual BOOL InitInstance();
    virtual int ExitInstance();
};

class KXAFX_API CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
  public:
    // appName null: the framework's default naming (the module's file name
    // without extension) applies at start-up.
    explicit CWinApp(const char* appName = nullptr) noexcept;
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    BOOL InitInstance() override;
    int ExitInstance() override;

    const char* m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

    DECLARE_MESSAGE_MAP()

  private:
    friend struct CDllModule;
    char* m_ownedAppName = nullptr;  // the default name, when the framework made it
};

// One loaded library in the framework's chain.
struct CDynLinkLibrary {
    HMODULE m_hModule;
    CWinApp* m_pApp;
    CDynLinkLibrary* m_pNextDLL;
};

// The framework's state of the current module. No export of the libraries
// switches it, so during a call from the host it is the host's own: its
// instance handle is the host executable's.
struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    CDynLinkLibrary* m_libraryList;  // the chain of loaded libraries
};

KXAFX_API AFX_MODULE_STATE* AfxGetModuleState();
KXAFX_API HINSTANCE AfxGetInstanceHandle();

// The framework's start-up and termination for a loaded library; see the top
// of this file. Holds no state of its own.
struct KXAFX_API CDllModule {
    explicit CDllModule(CWinApp& app);
    ~CDllModule();
    CDllModule(const CDllModule&) = delete;
    CDllModule& operator=(const CDllModule&) = delete;

  private:
    CWinApp& m_app;
};

#define AFX_DLL_MODULE(app) static CDllModule afxDllModule_##app(app);
