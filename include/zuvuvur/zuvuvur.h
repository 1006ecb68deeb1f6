// zuVuvur9_64 — everything a host needs, in one include: the framework types,
// the host-object interface and the declarations of the library's exports.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"
#include "messages.h"
#include "numeric.h"
#include "separators.h"
#include "shell.h"
#include "sort.h"
