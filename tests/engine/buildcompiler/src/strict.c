/* Built with -std=c89: strict ANSI, no C99 version macro. */
#if defined(__STRICT_ANSI__) && !defined(__STDC_VERSION__)
int strict(void) {
    int* missing = 0;
    return *missing;
}
#endif
