#include "platform.h"

int guarded(void) {
    int* missing = 0;
    return *missing + platform_word();
}
