#pragma once

#include "import/RecordFormat.h"

// The PEER NGA record format.
const RecordFormat& PeerNgaFormat();
