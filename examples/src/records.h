#ifndef RECORDS_H
#define RECORDS_H

struct record {
    int id;
    char name[8];
};

int record_total(const struct record* records, int count);
void record_rename(struct record* record, const char* name);
char* record_label(const struct record* record);

#endif
