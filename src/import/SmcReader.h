#pragma once

#include "import/RecordFormat.h"

// The SMC record format.
const RecordFormat& SmcFormat();
