#pragma once

// The tests of other layers still include this name; new code includes
// "support/TempFolder.h".
#include "support/TempFolder.h"

using TempDir = TempFolder;
