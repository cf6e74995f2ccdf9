#include "sample_table.h"

int table_sum(void) {
    int table[SAMPLE_TABLE_SIZE];
    int sum = 0;
    for (int i = 0; i < SAMPLE_TABLE_SIZE; i++) table[i] = i;
    table[SAMPLE_TABLE_SIZE] = 0;
    for (int i = 0; i < SAMPLE_TABLE_SIZE; i++) sum += table[i];
    return sum;
}
