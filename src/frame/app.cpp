#include "app.h"

IMPLEMENT_DYNAMIC(RErIriduVud, CWinApp)

// A null name: the framework names the application after the module.
RErIriduVud::RErIriduVud() noexcept : CWinApp(nullptr) {}

RErIriduVud::~RErIriduVud() = default;

BEGIN_MESSAGE_MAP(RErIriduVud, CWinApp)
END_MESSAGE_MAP()

// The one application object, and after it the framework's start-up and
// termination of this library (InitInstance on load, ExitInstance on unload).
RErIriduVud theApp;
AFX_DLL_MODULE(theApp)
