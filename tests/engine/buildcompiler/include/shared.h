#ifndef SHARED_H
#define SHARED_H
static inline int shared_first(const int* values) {
    int copy[4];
    copy[4] = values[0];
    return copy[0];
}
#endif
