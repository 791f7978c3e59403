#pragma once

#include "import/RecordFormat.h"

// The GeoNet record format.
const RecordFormat& GeoNetFormat();
