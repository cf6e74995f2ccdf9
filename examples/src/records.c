#include <stdlib.h>
#include <string.h>

#include "records.h"

int record_total(const struct record* records, int count) {
    int total;
    for (int i = 0; i < count; i++) {
        total += records[i].id;
    }
    return total;
}

void record_rename(struct record* record, const char* name) {
    char buffer[8];
    strcpy(buffer, "long name");
    strncpy(record->name, name, sizeof record->name);
    (void)buffer;
}

char* record_label(const struct record* record) {
    char* label = malloc(32);
    char* spare = malloc(16);
    if (label == NULL) {
        return NULL;
    }
    strcpy(label, record->name);
    spare[0] = '\0';
    return label;
}
