#include <stdio.h>
#include <stdlib.h>

#include "records.h"

static int first_id(const struct record* records) {
    const struct record* chosen = NULL;
    return chosen->id + records[0].id;
}

int main(void) {
    struct record records[2] = {{1, "one"}, {2, "two"}};
    int unused = 4;
    printf("%d\n", record_total(records, 2));
    printf("%d\n", first_id(records));
    return 0;
}
