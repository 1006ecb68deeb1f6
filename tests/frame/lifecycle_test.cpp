// Loading the library builds its one application object and enters it in the
// framework's chain; unloading runs its exit and destroys it.
#include <zuvuvur/afx/afx.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kxplatform.h"

namespace {

std::vector<CWinApp*> LoadedApps() {
    std::vector<CWinApp*> apps;
    for (CDynLinkLibrary* dll = AfxGetModuleState()->m_libraryList; dll; dll = dll->m_pNextDLL)
        apps.push_back(dll->m_pApp);
    return apps;
}

TEST(Lifecycle, LoadBuildsOneAppObjectAndUnloadDestroysIt) {
    EXPECT_EQ(AfxGetInstanceHandle(), kxp::executable_module());  // the host's own module state
    ASSERT_TRUE(LoadedApps().empty());
    for (int round = 0; round < 2; ++round) {
        kxp::ModuleHandle lib = kxp::load_module(KX_LIBRARY_FILE);
        kxp::ModuleHandle again = kxp::load_module(KX_LIBRARY_FILE);  // a second load shares it
        std::vector<CWinApp*> apps = LoadedApps();
        ASSERT_EQ(apps.size(), 1u);
        CWinApp* app = apps[0];
        EXPECT_STREQ(app->GetRuntimeClass()->m_lpszClassName, "RErIriduVud");
        EXPECT_TRUE(app->IsKindOf(RUNTIME_CLASS(CWinApp)));
        EXPECT_STREQ(app->m_pszAppName, "zuVuvur9_64");  // default naming: the module's name
        EXPECT_EQ(app->m_hInstance, lib);
        kxp::unload_module(again);
        EXPECT_EQ(LoadedApps().size(), 1u);
        kxp::unload_module(lib);
        EXPECT_TRUE(LoadedApps().empty()) << "round " << round;
    }
}

}  // namespace
