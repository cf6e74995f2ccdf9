// A store header that reaches up into the analysis.
#pragma once

#include "engine/analysis/Plan.h"
