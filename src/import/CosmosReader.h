#pragma once

#include "import/RecordFormat.h"

// The COSMOS record format.
const RecordFormat& CosmosFormat();
