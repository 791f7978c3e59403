#pragma once

#include "import/RecordFormat.h"

// The K-NET / KiK-net record format.
const RecordFormat& KnetFormat();
