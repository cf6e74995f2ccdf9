#ifndef SAMPLE_WITH_FEATURE
#error the feature is not configured
#endif

int stopped(void) {
    int* missing = 0;
    return *missing;
}
