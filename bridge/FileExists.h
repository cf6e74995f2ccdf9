// Logs whether a file or folder named by Java exists; it checks nothing else
// and stops nothing, the call that follows goes ahead either way.
#pragma once

// isDirectory non-zero: a level-2 line saying whether `path` is a folder.
// Zero: a level-2 line when the file opens for reading, otherwise a level-1
// line with the errno of the failed open.
void fileExists(const char* path, int isDirectory);
