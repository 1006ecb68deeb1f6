// COM: apartments and the task allocator. The contracts are in kxcom.h; on
// Windows they are the system's own, elsewhere the backend below keeps them.
#include "kxplatform.h"

#if defined(_WIN32)
#include "win32/com.inc"
#else
#include "posix/com.inc"
#endif
