// A records header that reaches sideways into the analysis.
#pragma once

#include "engine/analysis/Plan.h"
#include "engine/store/Journal.h"
