// clang-format off
// (the layout around each comment is what is tested)
// Each function holds one null dereference; the comments around it decide
// whether cppcheck's --inline-suppr drops it. Compared with cppcheck itself.
#include "forms.h"

int trailing() {
    int *p = 0;
    return *p;  // cppcheck-suppress nullPointer
}

int onTheLineAbove() {
    int *p = 0;
    // cppcheck-suppress nullPointer
    return *p;
}

int listWithABlankLineBelow() {
    int *p = 0;
    // cppcheck-suppress[unreadVariable, nullPointer]

    return *p;
}

int blockCommentBeforeCode() {
    int *p = 0;
    /* cppcheck-suppress nullPointer */ return *p;
}

int otherSymbol() {
    int *p = 0;
    // cppcheck-suppress nullPointer symbolName=q
    return *p;
}

int symbolGlob() {
    int *pointer = 0;
    // cppcheck-suppress nullPointer symbolName=po*
    return *pointer;
}

int anyId() {
    int *p = 0;
    // cppcheck-suppress *
    return *p;
}

int idGlobIsNotAGlob() {
    int *p = 0;
    // cppcheck-suppress null*
    return *p;
}

int afterALoneBrace()
{  // cppcheck-suppress nullPointer
    int *p = 0; return *p;
}

int remarks() {
    int *p = 0;
    // cppcheck-suppress nullPointer; a remark
    int a = *p;
    int *r = 0;
    // cppcheck-suppress nullPointer // another remark
    return a + *r;
}

int stackedComments() {
    int *p = 0;
    // cppcheck-suppress uninitvar
    // an ordinary comment between
    /* cppcheck-suppress nullPointer
       spread over two lines */
    return *p;
}

int onTheLineOfTheAssignment() {
    int *p = 0;  // cppcheck-suppress nullPointer
    return *p;
}

int docComment() {
    int *p = 0;
    /** cppcheck-suppress nullPointer */
    return *p;
}

int otherCase() {
    int *p = 0;
    // cppcheck-suppress NullPointer
    return *p;
}

int badList() {
    int *p = 0;
    // cppcheck-suppress[nullPointer, unreadVariable extra]
    return *p;
}

int laterForms() {
    int *p = 0;
    // cppcheck-suppress-begin nullPointer
    return *p;
}

int inLiterals() {
    int *p = 0;
    const char *text = "// cppcheck-suppress nullPointer"; return *p + text[0];
}

int inRawString() {
    int *p = 0;
    const char *text = R"x(
// cppcheck-suppress nullPointer
)x"; return *p + text[0];
}

int afterDigitSeparators() {
    int *p = 0;
    int big = 10'000; return *p + big;  // cppcheck-suppress nullPointer
}

int listWithARemark() {
    int *p = 0;
    // cppcheck-suppress[nullPointer -- a remark]
    return *p;
}
