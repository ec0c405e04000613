#pragma once
// The version block now lives with the data layer, where the language catalogue reads it.
#include "data/fileversion.h"
