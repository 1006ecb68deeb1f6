// kxafx: the application framework, everything in one include.
#pragma once

#include "app.h"
#include "arrays.h"
#include "file.h"
#include "msgbox.h"
#include "objects.h"
#include "string.h"
#include "types.h"
