#pragma once

#include "import/RecordFormat.h"

// The Free Type layout: one sample per line in a column the user names, at the
// time step and scale the user gives (FreeFormatReader).
const RecordFormat& FreeTypeFormat();
