// How the user's locale writes numbers, read without touching any process-wide locale.
#pragma once

#include "model/NumberText.h"

namespace sheetlift {

// The user's decimal separator; "." when it is not one byte.
NumberLocale UserNumberLocale();

} // namespace sheetlift
