#include <gtest/gtest.h>

#include "tests/support/RecordArena.h"
#include "utils/TreeWriter.h"

using namespace Utils;

TEST(TreeWriter, ItemsWriteTheirFieldsThenTheirChildren) {
    RecordArena arena;
    EXPECT_EQ(SerializeTreeItem(arena.Tree(2, "main.c", "src/main.c", 5, 3)),
              "<Ty>2</Ty><N>main.c</N><D>src/main.c</D><To>5</To><A>3</A>");
    EXPECT_EQ(SerializeTreeItemType(static_cast<VQTreeItemType_C>(0)), "<Ty>0</Ty>");
    EXPECT_EQ(SerializeTreeItemType(static_cast<VQTreeItemType_C>(8)), "<Ty>8</Ty>");
    EXPECT_EQ(SerializeTreeItemType(static_cast<VQTreeItemType_C>(9)), "<Ty></Ty>");
    EXPECT_EQ(SerializeTreeItemType(static_cast<VQTreeItemType_C>(-1)), "<Ty></Ty>");

    auto* grandchild = arena.Tree(1, "g", "", 0, 0);
    auto* child = arena.Tree(0, "a&b", "<d>", -1, -2147483647 - 1, arena.List<VQTreeArray_C>({grandchild}));
    auto* root = arena.Tree(3, "r", "'q\"", 10, 2147483647,
                            arena.List<VQTreeArray_C>({child, static_cast<VQTreeStruct*>(nullptr)}));
    EXPECT_EQ(SerializeTreeItem(root),
              "<Ty>3</Ty><N>r</N><D>&apos;q&quot;</D><To>10</To><A>2147483647</A>"
              "<SI><Ty>0</Ty><N>a&amp;b</N><D>&lt;d&gt;</D><To>-1</To><A>-2147483648</A>"
              "<SI><Ty>1</Ty><N>g</N><D></D><To>0</To><A>0</A></SI></SI><SI></SI>");
}

TEST(TreeWriter, TreesComeInFileMessageRuleOrder) {
    RecordArena arena;
    auto* trees =
        arena.Make(VQTrees_C{arena.Tree(0, "f", "", 1, 1), arena.Tree(1, "r", "", 2, 2), arena.Tree(2, "m", "", 3, 3)});
    EXPECT_EQ(SerializeTrees(trees),
              "<Tr><FT><Ty>0</Ty><N>f</N><D></D><To>1</To><A>1</A></FT>"
              "<MT><Ty>2</Ty><N>m</N><D></D><To>3</To><A>3</A></MT>"
              "<RT><Ty>1</Ty><N>r</N><D></D><To>2</To><A>2</A></RT></Tr>");
    trees->messageTree->name = nullptr;
    trees->ruleTree = nullptr;
    EXPECT_EQ(SerializeTreesIndividual(trees),
              "<FT><Ty>0</Ty><N>f</N><D></D><To>1</To><A>1</A></FT>"
              "<MT><Ty>2</Ty><N></N><D></D><To>3</To><A>3</A></MT><RT></RT>");
    EXPECT_EQ(SerializeTrees(nullptr), "");
}

TEST(TreeWriter, FileSettings) {
    RecordArena arena;
    auto* file = arena.Make(VQFile_C{nullptr, VQ_SOURCE_LANGUAGE_CPP, arena.Texts<VQDefines_C>({"NDEBUG", "X=1"}),
                                     arena.Includes({"/usr/include", "inc"})});
    EXPECT_EQ(SerializeVQFile(file), "<VQF><IP>/usr/include;inc</IP><DEF>NDEBUG;X=1</DEF><SL>C++</SL></VQF>");

    file->sourceLanguage = static_cast<VQSourceLanguage_C>(3);
    file->defines = arena.Texts<VQDefines_C>({});
    file->includes = arena.Includes({"a&b;c"});
    EXPECT_EQ(SerializeVQFile(file), "<VQF><IP>a&amp;b;c</IP><DEF></DEF><SL></SL></VQF>");

    file->sourceLanguage = VQ_SOURCE_LANGUAGE_C;
    file->defines = arena.Texts<VQDefines_C>({"A", nullptr, "<B>"});
    file->includes = nullptr;
    EXPECT_EQ(SerializeVQFile(file), "<VQF><IP></IP><DEF>A;;&lt;B&gt;</DEF><SL>C</SL></VQF>");
    EXPECT_EQ(SerializeSourceLanguage(VQ_SOURCE_LANGUAGE_CSHARP), "<SL>C#</SL>");
    EXPECT_EQ(SerializeSourceLanguage(static_cast<VQSourceLanguage_C>(-1)), "<SL></SL>");
    EXPECT_EQ(SerializeVQFile(nullptr), "");
}

TEST(TreeWriter, LanguagesSkipUnknownValues) {
    RecordArena arena;
    EXPECT_EQ(SerializeLanguages(arena.Languages({0, 5, 2})), "<VQL><L>0</L><L>2</L></VQL>");
    EXPECT_EQ(SerializeLanguages(arena.Languages({1, -1, 3})), "<VQL><L>1</L></VQL>");
    EXPECT_EQ(SerializeLanguages(arena.Languages({})), "<VQL></VQL>");
    EXPECT_EQ(SerializeLanguages(nullptr), "");
    EXPECT_EQ(SerializeLanguage(static_cast<VQLanguage_C>(7)), "");
}
