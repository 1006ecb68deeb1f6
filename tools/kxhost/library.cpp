#include "library.h"

namespace {
#if defined(_WIN32)
constexpr const char* kLibraryFile = "zuVuvur9_64.dll";
#else
constexpr const char* kLibraryFile = "zuVuvur9_64.so";
#endif
}  // namespace

Library::Library() {
    std::string exe = kxp::module_path(kxp::executable_module());
    std::size_t slash = exe.find_last_of("/\\");
    path_ = (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + kLibraryFile;
    module_ = kxp::load_module(path_.c_str());
    if (!module_) throw std::runtime_error("cannot load " + path_);
}
