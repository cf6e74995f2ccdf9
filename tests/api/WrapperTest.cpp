// The simple wrappers against the loaded stand-in: results passed through
// unchanged or widened, the aggregate callback, the free wrappers. (The JVM
// tests check what each wrapper passes to its entry point.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/KERVApi.h"
#include "tests/api/LoadedApi.h"

using Wrappers = LoadedApi;

TEST_F(Wrappers, OneByteResultsAreWidenedOrComparedWithOne) {
    for (int byte : {0, 1, 2, 255}) {
        SCOPED_TRACE(byte);
        s_fake.setResult("isVQFProject", byte);
        s_fake.setResult("hasResults", byte);
        s_fake.setResult("hasUptoDateResults", byte);
        EXPECT_EQ(api.IsVQFProject("/loc", "proj"), byte == 1 ? 1 : 0);
        EXPECT_NE(log.Take().find(Result(std::to_string(byte))), std::string::npos) << "the byte itself is logged";
        EXPECT_EQ(api.HasResults("a.c"), byte);
        EXPECT_EQ(api.HasUpToDateResults("a.c"), byte);
    }
    s_fake.setResult("hasResults", 0x1102);
    EXPECT_EQ(api.HasResults("a.c"), 2) << "only the returned byte counts";
}

TEST_F(Wrappers, NegativeStatusCodesAndNullTextsPassThrough) {
    s_fake.setResult("removeFile", -1);
    s_fake.setResult("initApi", -42);
    s_fake.setResult("getIncludedFiles", -7);
    s_fake.setText("getInstallPath", nullptr);
    s_fake.setText("getComponentMessages", "messages of core");
    EXPECT_EQ(api.RemoveFile(nullptr), -1);
    EXPECT_EQ(api.InitApi(""), -42);
    EXPECT_EQ(api.GetInstallPath(), nullptr);
    EXPECT_EQ(log.Take(), "\nCall RemoveFile \n" + ApiCall("removeFile") + Arg("filePath", "(null)") + Result("-1") +
                              "\nCall InitApi \n" + ApiCall("initApi") + Arg("bindKey", "") + Result("-42") +
                              "\nCall GetInstallPath \n" + ApiCall("getInstallPath") + Result("(null)"));
    // Two wrappers that no Java method reaches.
    EXPECT_EQ(api.GetIncludeFiles(), -7);
    EXPECT_STREQ(api.GetComponentMessages("core", "2.1"), "messages of core");
    EXPECT_STREQ(s_fake.journal(),
                 "removeFile(null)\ninitApi(\"\")\ngetInstallPath()\ngetIncludedFiles(out)\n"
                 "getComponentMessages(\"core\", \"2.1\")\n");
}

TEST_F(Wrappers, AggregatePassesTheStoredCallbackNullBeforeOneIsSet) {
    static std::vector<unsigned int> received;
    const unsigned int progress[] = {0, 50, 100};
    s_fake.setProgress(progress, 3);

    api.Aggregate();
    EXPECT_STREQ(s_fake.journal(), "aggregate(null)\n");
    EXPECT_EQ(log.Take(), "\nCall Aggregate \n" + ApiCall("aggregate") + Result("void"));

    api.SetAggregateCallback([](unsigned int value) { received.push_back(value); });
    api.Aggregate();
    EXPECT_STREQ(s_fake.journal(), "aggregate(null)\naggregate(fn)\n");
    EXPECT_EQ(received, std::vector<unsigned int>({0, 50, 100}));
    api.SetAggregateCallback(nullptr);
}

TEST_F(Wrappers, FreeWrappersHandTheCallersRecordAddressToTheLibrary) {
    VQFile_C fileRecord{};
    VQStrings_C stringsRecord{};
    VQTrees_C treesRecord{};
    VQLanguages_C languagesRecord{};
    VQFile_C* file = &fileRecord;
    VQStrings_C* strings = &stringsRecord;
    VQTrees_C* trees = &treesRecord;
    VQLanguages_C* languages = &languagesRecord;
    VQFilePathArray_C* paths = nullptr;
    s_fake.setResult("freeTrees", 3);

    EXPECT_EQ(api.FreeVQFile(&file), 0);
    EXPECT_EQ(api.FreeStrings(&strings), 0);
    EXPECT_EQ(api.FreeTrees(&trees), 3);
    api.FreeLanguages(&languages);
    EXPECT_EQ(api.FreeFilePaths(&paths), 0);

    // The stand-in clears the pointer it was given: the caller's own.
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(strings, nullptr);
    EXPECT_EQ(trees, nullptr);
    EXPECT_EQ(languages, nullptr);
    EXPECT_EQ(s_fake.journal(),
              "freeVQFile(*pp=" + JournalAddress(&fileRecord) + ")\nfreeStrings(*pp=" + JournalAddress(&stringsRecord) +
                  ")\nfreeTrees(*pp=" + JournalAddress(&treesRecord) +
                  ")\nfreeLanguages(*pp=" + JournalAddress(&languagesRecord) + ")\nfreeFilePaths(*pp=null)\n");
    const std::string freeFileLog =
        "\nCall FreeVQFile \n" + ApiCall("freeVQFile") + Arg("file", JournalAddress(&fileRecord)) + Result("0");
    EXPECT_EQ(log.Take().substr(0, freeFileLog.size()), freeFileLog);
}
