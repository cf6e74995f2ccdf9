#ifndef PLATFORM_H
#define PLATFORM_H
#if !defined(__GNUC__) || !defined(__x86_64__)
#error need gcc on x86-64
#endif
static inline int platform_word(void) {
    int words[2] = {0, 0};
    return words[2];
}
#endif
