int table_sum(void);

int main(void) {
    int* checked = 0;
#ifdef SAMPLE_CHECKED_BUILD
#if SAMPLE_LEVEL > 1
    if (table_sum() > 0) return *checked;
#endif
#endif
    return table_sum();
}
