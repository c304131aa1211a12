// The stage loop.
#include "level/level_run.h"
