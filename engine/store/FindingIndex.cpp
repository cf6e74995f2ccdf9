#include "engine/store/FindingIndex.h"

namespace kerv::engine {

namespace {

const std::string& fileOf(const Finding& finding, const std::string& reporter) {
    return finding.locations.empty() || finding.locations[0].file.empty() ? reporter : finding.locations[0].file;
}

// A stop of the preprocessor is news about the file it stopped, so each
// stopped file has its own, even when the #error is in a header they share.
const char* const kPreprocessorStop = "preprocessorErrorDirective";

std::string identityOf(const Finding& finding, const std::string& reporter, bool perReporter = true) {
    const FindingLocation* at = finding.locations.empty() ? nullptr : &finding.locations[0];
    std::string key = perReporter && finding.id == kPreprocessorStop ? reporter + '\0' : "";
    key += fileOf(finding, reporter);
    key.append(1, '\0').append(std::to_string(at ? at->line : 0));
    key.append(1, '\0').append(std::to_string(at ? at->column : 0));
    key.append(1, '\0').append(finding.id).append(1, '\0').append(finding.message);
    return key;
}

struct Owned {
    const std::string* owner = nullptr;
    const Finding* finding = nullptr;
    bool listed = false;
};

}  // namespace

FindingIndex buildFindingIndex(const ResultsStore& results, const Project& project) {
    FindingIndex index;
    index.resultsGeneration = results.generation();
    index.projectFiles = project.files.size();
    std::unordered_map<std::string, Owned> owners;  // its elements stay where they are as the map grows
    struct Reported {
        const std::string* reporter;
        const Finding* finding;
        Owned* owned;
    };
    std::vector<Reported> reported;
    // Results are kept by path, so the first reporter met is the first by path.
    for (const auto& [path, result] : results.all()) {
        if (!project.files.find(path)) continue;
        for (const auto& header : result.headers)
            if (!project.files.find(header.path)) index.included.insert(header.path);
        for (const Finding& finding : result.findings) {
            Owned& owned = owners[identityOf(finding, path)];
            if (!owned.owner || fileOf(finding, path) == path) owned = {&path, &finding, false};
            reported.push_back({&path, &finding, &owned});
        }
    }
    std::set<std::string> located;  // a header's #error once, however many files it stopped
    for (const auto& [reporter, finding, owned] : reported) {
        if (owned->listed || owned->owner != reporter) continue;
        owned->listed = true;
        index.all.push_back(owned->finding);
        index.byOwner[*reporter].push_back(owned->finding);
        if (finding->id != kPreprocessorStop || located.insert(identityOf(*finding, *reporter, false)).second)
            index.byLocation[fileOf(*owned->finding, *reporter)].push_back(owned->finding);
        for (const auto& location : owned->finding->locations)
            if (!location.file.empty() && !project.files.find(location.file)) index.included.insert(location.file);
    }
    return index;
}

}  // namespace kerv::engine
