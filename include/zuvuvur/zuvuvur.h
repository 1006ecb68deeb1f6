// zuVuvur9_64 — everything a host needs, in one include: the framework types,
// the host-object interface and the declarations of the library's exports.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "files.h"
#include "host.h"
#include "messages.h"
#include "separators.h"
#include "shell.h"
#include "keywords.h"
#include "wrap.h"
#include "csource.h"
#include "html.h"
#include "reorder.h"
#include "tokens.h"
#include "csv.h"
#include "keyvalues.h"
#include "labels.h"
