#pragma once

#include "import/RecordFormat.h"

// The ESM record format.
const RecordFormat& EsmFormat();
