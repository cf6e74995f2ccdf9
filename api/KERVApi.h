// KERVApi: the process-wide binding to the analysis library.
//
// InitKERVApi() opens the library and resolves its 53 entry points into the
// entry-point table. Every other method is either a guarded call through one
// slot (it logs, tests the slot and returns a fixed failure value when the
// slot is null) or a composite getter that fetches a record, turns it into
// text and hands the record back to the library's free function.
#pragma once

#include <string>

#include "api/KERVEntryPoints.h"

class KERVApi {
public:
    static KERVApi* GetInstance();
    static void Destroy();

    virtual ~KERVApi();

    std::string InitKERVApi(const char* path);
    virtual bool LoadProcAddress(void*& slot, const char* symbol);
    void SetAggregateCallback(void (*callback)(unsigned int));

    // Life cycle, settings and workspace.
    int InitDeployment();
    void SetBindKey(const char* bindKey);
    int InitApi(const char* bindKey);
    void ShutdownApi();
    void ShutdownApp();
    void ClearCachedObjects();
    const char* GetVersionNumber();
    void SetLogLevel(VQLogLevel_C logLevel);
    int GetLogLevel();
    void SetCurrentLanguage(VQLanguage_C language);
    int GetCurrentLanguage();
    void SetWorkspacePath(const char* path);
    const char* GetWorkSpacePath();

    // Installation and user paths.
    const char* GetInstallPath();
    const char* GetUserPath();
    const char* GetInstallConfigPath();
    const char* GetInstallBinaryPath();
    const char* GetUserAppConfigPath();
    const char* GetUserConfigPath();

    // Help and components.
    const char* GetVQFHelpFile(bool html);
    const char* GetVQFContextHelp(VQHelpContext_C context);
    const char* GetComponents();
    const char* GetComponentMessages(const char* name, const char* version);

    // Projects and files.
    int CreateProject(const char* location, const char* name, const char* acfFile, const char* rcfFile,
                      const char* cctFile);
    int AddCCT(const char* cctFilePath);
    int SetActiveCCT(VQSourceLanguage_C lang, const char* cctFileName);
    int IsVQFProject(const char* location, const char* name);
    int InitProjectMngr(const char* bindKey, const char* location, const char* name);
    int RemoveFile(const char* filePath);
    int AddFile(VQSourceLanguage_C targetLanguage, const char* file, unsigned int definesSize, char** defines,
                unsigned int includesSize, char** includes);
    int GetIncludeFiles();

    // Results.
    int InitResults(const char* bindKey, const char* location, const char* name);
    void Aggregate();
    int HasResults(const char* sourceFile);
    int HasUpToDateResults(const char* sourceFile);

    // Release of records handed out by the library.
    int FreeVQFile(VQFile_C** file);
    int FreeStrings(VQStrings_C** strings);
    int FreeDiagnostics(VQDiagnosticArray_C** diagnostics);
    int FreeFilePaths(VQFilePathArray_C** paths);
    int FreeRuleGroups(VQRuleGroupArray_C** ruleGroups);
    int FreeMessageRuleMap(VQMessageRuleMap_C** map);
    int FreeTrees(VQTrees_C** trees);
    void FreeLanguages(VQLanguages_C** languages);

    // Composite getters: the text of a record, or the empty text.
    std::string GetTrees(bool flag, unsigned int itemCount, char** items);
    std::string GetMappedFileExtensions();
    std::string GetFiles();
    std::string GetCMAProjectList();
    std::string GetReportTools();
    std::string GetMessageRuleMap();
    std::string GetRuleGroups();
    std::string GetDiagnostics(const char* filepath, VQMessageArray_C* messages, VQRuleArray_C* rules,
                               VQSuppressionState_C mask);
    std::string GetVQFile(const char* filepath);
    std::string GetAvailableLanguages();

protected:
    KERVApi() = default;

private:
    static KERVApi* s_pInstance;

    void* m_libraryHandle = nullptr;
    void (*m_aggregateCallback)(unsigned int) = nullptr;
    void* m_entryPoints[kerv::kEntryPointCount] = {};
};
