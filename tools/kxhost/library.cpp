#include "library.h"

namespace {
#if defined(_WIN32)
constexpr const char* kLibraryFile = "zuVuvur9_64.dll";
#else
constexpr const char* kLibraryFile = "zuVuvur9_64.so";
#endif
}  // namespace

Library::Library() {
    // Beside the executable first, as the data-analysis host keeps it and a
    // build puts it; then in the folder of the platform library this host
    // was linked with, which in an installed tree is where the libraries live
    // (lib/, while kxhost sits in bin/).
    std::string exe = kxp::module_path(kxp::executable_module());
    std::size_t slash = exe.find_last_of("/\\");
    const std::string beside =
        slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
    std::string installed = kxp::library_folder();
    if (installed == beside) installed.clear();  // a build: one folder for all
    std::string tried;
    for (const std::string& folder : {beside, installed}) {
        if (folder.empty()) continue;
        path_ = folder + kLibraryFile;
        module_ = kxp::load_module(path_.c_str());
        if (module_) return;
        tried += (tried.empty() ? "" : " or ") + path_;
    }
    throw std::runtime_error("cannot load " + (tried.empty() ? std::string(kLibraryFile) : tried));
}
