// clang-format off
// (the layout around each comment is what is tested)
// Suppression comments in a header that a project file includes.
static int headerSuppressed() {
    int *q = 0;
    // cppcheck-suppress nullPointer
    return *q;
}

static int headerActive() {
    int *q = 0;
    return *q;
}
