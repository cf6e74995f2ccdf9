// Versions, components, installation and user paths, help texts, file
// extensions, report tools and the projects of the workspace.
#include <algorithm>

#include "engine/config/EngineSettings.h"
#include "engine/entry/EntryPoints.h"
#include "engine/records/ListRecords.h"
#include "engine/store/FileSystem.h"

using namespace kerv::engine;

namespace {

const char* const kEngineVersion = "1.0.0";

const char* keptPath(const char* entryPoint, std::string (*folder)()) {
    return guarded<const char*>(entryPoint, "", [&](Session& s) { return keepText(s, entryPoint, folder()); });
}

// Help by context: 0 overview, 1 projects, 2 configuration files, 3 results.
const char* const kContextHelp[] = {
    "libKERV analyses C and C++ projects with cppcheck. Create or open a project, add files, aggregate, then read "
    "the diagnostics, trees and rules.",
    "A project is the folder <location>/<name> with the file project.kerv. addFile records a file with its "
    "language, defines and include folders; every change is saved at once.",
    "Configuration files: the analysis configuration (acf: checks, c-standard, cpp-standard, inconclusive, option), "
    "the rule configuration (rcf: 'off <rule id>' lines) and the compiler configuration (cct: define and include "
    "lines, with [C] and [C++] sections).",
    "aggregate analyses every file whose results are missing or out of date; getDiagnostics gives a file's "
    "findings; rules switched off by the rcf are kept with suppression state 1.",
};

std::string escapedForHtml(const char* text) {
    std::string escaped;
    for (const char* c = text; *c; ++c) {
        if (*c == '<')
            escaped += "&lt;";
        else if (*c == '>')
            escaped += "&gt;";
        else if (*c == '&')
            escaped += "&amp;";
        else
            escaped += *c;
    }
    return escaped;
}

std::string helpText(bool html) {
    std::string text;
    for (const char* part : kContextHelp) {
        if (html)
            text.append("<p>").append(escapedForHtml(part)).append("</p>");
        else
            text.append(part).append("\n");
    }
    return html ? "<html><body><h1>libKERV</h1>" + text + "</body></html>" : text;
}

struct MappedExtension {
    VQSourceLanguage_C language;
    const char* extension;
};

constexpr MappedExtension kMappedExtensions[] = {
#define KERV_SOURCE_LANGUAGE(name, number, text)
#define KERV_SOURCE_EXTENSION(language, extension) {VQ_SOURCE_LANGUAGE_##language, extension},
#include "api/SourceLanguages.def"
#undef KERV_SOURCE_EXTENSION
#undef KERV_SOURCE_LANGUAGE
};

std::vector<std::string> extensionsFor(VQSourceLanguage_C language) {
    std::vector<std::string> extensions;
    for (const MappedExtension& mapped : kMappedExtensions) {
        if (mapped.language == language) extensions.emplace_back(mapped.extension);
    }
    return extensions;
}

std::vector<std::string> projectsIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& name : listDirectory(folder)) {
        std::string projectFile = folder;
        projectFile.append("/").append(name).append("/project.kerv");
        if (isReadableFile(projectFile)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

extern "C" {

const char* getInstallPath() {
    return keptPath("getInstallPath", installFolder);
}
const char* getInstallBinaryPath() {
    return keptPath("getInstallBinaryPath", installFolder);
}
const char* getInstallConfigPath() {
    return keptPath("getInstallConfigPath", installConfigFolder);
}
const char* getUserPath() {
    return keptPath("getUserPath", userDataFolder);
}
const char* getUserConfigPath() {
    return keptPath("getUserConfigPath", userConfigFolder);
}
const char* getUserAppConfigPath() {
    return keptPath("getUserAppConfigPath", engineConfigFile);
}

const char* getVersionNumber() {
    return kEngineVersion;
}

const char* getVQFHelp(bool html) {
    return guarded<const char*>("getVQFHelp", "",
                                [&](Session& s) { return keepText(s, "getVQFHelp", helpText(html)); });
}

const char* getVQFContextHelp(VQHelpContext_C context) {
    int index = static_cast<int>(context);
    return index >= 0 && index < 4 ? kContextHelp[index] : "";
}

const char* getComponents() {
    return guarded<const char*>("getComponents", "", [](Session& s) {
        const AnalyzerInfo& analyzer = analyzerInfo(s);
        std::string cppcheck = analyzer.version.empty() ? "not found" : analyzer.version;
        return keepText(s, "getComponents", std::string("engine ") + kEngineVersion + ";cppcheck " + cppcheck);
    });
}

// For the component "cppcheck" (of any version, or the version found), the
// message ids it can report, joined with ';'; empty for anything else.
const char* getComponentMessages(const char* name, const char* version) {
    return guarded<const char*>("getComponentMessages", "", [&](Session& s) {
        std::string ids;
        const AnalyzerInfo& analyzer = analyzerInfo(s);
        bool versionMatches = !version || !*version || analyzer.version == version;
        if (name && std::string(name) == "cppcheck" && versionMatches)
            for (const auto& rule : analyzer.rules) ids += (ids.empty() ? "" : ";") + rule.id;
        return keepText(s, "getComponentMessages", ids);
    });
}

int getMappedFileExtensions(VQSourceLanguage_C language, VQStrings_C** extensions) {
    return guardedStatus("getMappedFileExtensions", [&](Session&) {
        if (!extensions) return kNullArgument;
        *extensions = nullptr;
        if (language != VQ_SOURCE_LANGUAGE_C && language != VQ_SOURCE_LANGUAGE_CPP)
            return static_cast<Status>(reportStatus("getMappedFileExtensions", kBadArgument));
        *extensions = buildStrings(extensionsFor(language));
        return kOk;
    });
}

// Returns the number of tools (1) with the list, or 0 without a list when
// cppcheck cannot be run.
int getReportTools(VQStrings_C** tools) {
    return guarded("getReportTools", 0, [&](Session& s) {
        if (!tools) return 0;
        *tools = nullptr;
        if (analyzerInfo(s).version.empty()) return 0;
        *tools = buildStrings({"cppcheck"});
        return 1;
    });
}

// The projects found in the workspace folder. Returns 1 with the list (which
// may be empty), 0 without a list.
int getCMAProjectList(VQStrings_C** projects) {
    return guarded("getCMAProjectList", 0, [&](Session& s) {
        if (!projects) return 0;
        *projects = nullptr;
        std::string workspace = s.project ? s.project->workspace : s.workspaceWithoutProject;
        *projects = buildStrings(projectsIn(workspace.empty() ? defaultWorkspaceFolder() : workspace));
        return 1;
    });
}

}  // extern "C"
