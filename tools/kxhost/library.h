// The library as the host sees it: loaded at run time from beside the host
// executable (or, installed, from its lib folder), its exports looked up by
// name.
#pragma once

#include <stdexcept>
#include <string>

#include "kxplatform.h"

class Library {
  public:
    // Loads zuVuvur9_64 from the folder of the running executable, or else
    // from the folder of the platform library the host runs with.
    Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // The export `name` as a function of type F; throws when it is missing.
    template <class F>
    F* Get(const char* name) const {
        void* symbol = kxp::find_symbol(module_, name);
        if (!symbol) throw std::runtime_error(std::string("missing export ") + name);
        return reinterpret_cast<F*>(symbol);
    }

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    kxp::ModuleHandle module_ = nullptr;
};

// An export with C linkage, typed by its declaration in the public headers.
#define KX_EXPORT_FN(lib, name) (lib).Get<decltype(name)>(#name)
