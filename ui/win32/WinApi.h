#pragma once
// The Windows headers, after the project's headers whose names they define as macros
// (OUT_TT_ONLY_PRECIS, DEFAULT_CHARSET in LogFont): every file of this layer includes
// them through here, first.
#include "render/LogFont.h"

#include <windows.h>
