// Record sets of a given size in the shapes the analysis library hands out:
// checker diagnostics with quoted names in nearly every text, and trees of a
// root, groups and leaves. Every record is an allocation of its own.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/RecordArena.h"

namespace ShapeCorpus {

inline std::string numbered(const char* pattern, int a, int b = 0) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// Checker texts: nearly all quote a name; some hold & < > or ".
inline std::string checkerText(int i) {
    switch (i % 8) {
        case 0:
        case 4:
            return numbered("Variable 'buf%d' is assigned a value that is never used.", i);
        case 1:
        case 5:
            return numbered("Array 'a[%d]' accessed at index %d, which is out of bounds.", i % 64, i % 64);
        case 2:
            return numbered("Condition 'n%d<0' is always false & the branch is dead code.", i);
        case 3:
            return numbered("Member 'm_size%d' is not initialized in the constructor.", i);
        case 6:
            return numbered("Parameter \"%d\" of 'copy()' can be declared as pointer to const (x > y).", i);
        default:
            return numbered("The scope of the variable 'i%d' can be reduced.", i);
    }
}

inline DiagnosticStruct* checkerDiagnostic(RecordArena& arena, int i, VQDiagnosticArray_C* subs) {
    auto* message = arena.Message(numbered("MSG-%d", i).c_str(), numbered("help/rule%d.html", i % 300).c_str(), 2,
                                  numbered("%d", 1000 + i % 500).c_str(), checkerText(i).c_str(), "checker");
    return arena.Make(DiagnosticStruct{
        message, static_cast<uint8_t>(subs ? 1 : 0), 0, i % 3 - 1, subs,
        arena.Texts<VQParameterArray_C>({numbered("buf%d", i).c_str(), "char[64]"}),
        arena.List<VQLocationArray_C>(
            {arena.Location(numbered("src/module%d/file%d.c", i % 40, i % 700).c_str(), i % 2000, i % 80),
             arena.Location(numbered("include/module%d.h", i % 40).c_str(), 12 + i % 9, 5)})});
}

// `count` diagnostics; one in ten has a sub-diagnostic.
inline VQDiagnosticArray_C* checkerDiagnostics(RecordArena& arena, int count) {
    std::vector<DiagnosticStruct*> list;
    for (int i = 0; i < count; ++i) {
        VQDiagnosticArray_C* subs =
            i % 10 == 0 ? arena.List<VQDiagnosticArray_C>({checkerDiagnostic(arena, i + 1, nullptr)}) : nullptr;
        list.push_back(checkerDiagnostic(arena, i, subs));
    }
    return arena.List<VQDiagnosticArray_C>(list);
}

// A file tree of about `nodes` nodes: a root, groups, and leaves under them.
inline VQTrees_C* groupedTree(RecordArena& arena, int nodes) {
    const int leavesPerGroup = nodes >= 10000 ? 100 : 10;
    const int groups = (nodes - 1) / (leavesPerGroup + 1);
    std::vector<VQTreeStruct*> top;
    for (int g = 0; g < groups; ++g) {
        std::vector<VQTreeStruct*> leaves;
        for (int f = 0; f < leavesPerGroup; ++f) {
            leaves.push_back(arena.Tree(2, numbered(f % 20 ? "file%d_%d.c" : "file%d&co_%d.c", g, f).c_str(),
                                        numbered("src/dir%d/file%d.c", g, f).c_str(), f % 17, f % 5));
        }
        top.push_back(arena.Tree(1, numbered("dir%d", g).c_str(), numbered("src/dir%d", g).c_str(), leavesPerGroup,
                                 leavesPerGroup / 2, arena.List<VQTreeArray_C>(leaves)));
    }
    VQTreeStruct* root = arena.Tree(0, "files", "", groups * leavesPerGroup, groups, arena.List<VQTreeArray_C>(top));
    return arena.Make(VQTrees_C{root, nullptr, nullptr});
}

}  // namespace ShapeCorpus
