// The aggregate callback that the bridge hands to the analysis library: it
// only logs the progress, as "Aggregate progress is N" at level 2.
#pragma once

void genericProgressFunction(unsigned int progress);
