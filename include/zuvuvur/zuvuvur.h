// zuVuvur9_64 — everything a host needs, in one include: the framework types,
// the host-object interface and the declarations of the library's exports.
#pragma once

#include "afx/afx.h"
#include "csource.h"
#include "csv.h"
#include "export.h"
#include "files.h"
#include "host.h"
#include "html.h"
#include "keyvalues.h"
#include "keywords.h"
#include "labels.h"
#include "messages.h"
#include "numeric.h"
#include "reorder.h"
#include "separators.h"
#include "shell.h"
#include "sort.h"
#include "tokens.h"
#include "wrap.h"
