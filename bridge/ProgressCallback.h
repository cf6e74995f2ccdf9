// The aggregate callback that the bridge hands to the analysis library: it
// logs the progress, as "Aggregate progress is N" at level 2, and hands it to
// the Java listener of KERVProgress when one is set.
#pragma once

void genericProgressFunction(unsigned int progress);
