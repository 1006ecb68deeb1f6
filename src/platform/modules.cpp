// Dynamic modules: the executable, loading by path, symbols. The portable
// part is the contract in kxplatform.h; the per-system code follows.
#include "kxplatform.h"

#if defined(_WIN32)
#include "win32/modules.inc"
#else
#include "posix/modules.inc"
#endif
