#ifndef SAMPLE_TABLE_H
#define SAMPLE_TABLE_H
#define SAMPLE_TABLE_SIZE 4
#endif
