#include "engine/store/Project.h"

#include <unistd.h>

#include "engine/EngineLog.h"
#include "engine/store/FileSystem.h"
#include "engine/store/Hashing.h"
#include "engine/store/LineRecords.h"
#include "engine/store/ProjectJournal.h"

namespace kerv::engine {

namespace {

const char* const kHeader = "kerv-project";
const char* const kFormatVersion = "1";

bool parseLanguage(const std::string& text, int& language) {
    if (text != "0" && text != "1") return false;
    language = text[0] - '0';
    return true;
}

// Applies one parsed line to the project; false when the line is malformed.
// `last` is the file that define and include lines belong to.
bool applyLine(const std::vector<std::string>& f, Project& project, ProjectFile*& last) {
    const std::string& key = f[0];
    if (f.size() == 2) {
        if (key == "name") return project.name = f[1], true;
        if (key == "acf") return project.acfPath = f[1], true;
        if (key == "rcf") return project.rcfPath = f[1], true;
        if (key == "cct") return project.cctPaths.push_back(f[1]), true;
        if (key == "workspace") return project.workspace = f[1], true;
        if (key == "language") return parseLanguage(f[1], project.currentLanguage);
        if (key == "define" && last) return last->defines.push_back(f[1]), true;
        if (key == "include" && last) return last->includes.push_back(f[1]), true;
    }
    if (f.size() == 3) {
        int language = 0;
        if (key == "active-cct" && parseLanguage(f[1], language)) return project.activeCct[language] = f[2], true;
        if (key == "file" && parseLanguage(f[1], language) && !project.files.find(f[2])) {
            last = &project.files.put(ProjectFile{f[2], language, {}, {}});
            return true;
        }
    }
    return false;
}

}  // namespace

bool isValidProjectName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string serialiseProject(const Project& project) {
    std::string text;
    auto line = [&](const std::vector<std::string>& fields) { text += joinFields(fields) + "\n"; };
    line({kHeader, kFormatVersion});
    line({"name", project.name});
    line({"acf", project.acfPath});
    line({"rcf", project.rcfPath});
    for (const auto& cct : project.cctPaths) line({"cct", cct});
    for (int language = 0; language < 2; ++language)
        if (!project.activeCct[language].empty())
            line({"active-cct", std::to_string(language), project.activeCct[language]});
    line({"workspace", project.workspace});
    line({"language", std::to_string(project.currentLanguage)});
    for (const auto& file : project.files) {
        line({"file", std::to_string(file.language), file.path});
        for (const auto& define : file.defines) line({"define", define});
        for (const auto& include : file.includes) line({"include", include});
    }
    line({"end"});
    return text;
}

bool parseProject(const std::string& text, Project& out) {
    std::vector<std::string> lines = splitLines(text);
    if (lines.size() < 2 || lines.front() != joinFields({kHeader, kFormatVersion}) || lines.back() != "end")
        return false;
    Project project;
    ProjectFile* last = nullptr;
    for (size_t i = 1; i + 1 < lines.size(); ++i)
        if (!applyLine(splitFields(lines[i]), project, last)) return false;
    out = std::move(project);
    return true;
}

Status loadProject(const std::string& location, const std::string& name, Project& out) {
    Project project;
    project.location = location;
    project.name = name;
    auto text = readWholeFile(project.projectFilePath());
    if (!text) return kProjectNotFound;
    removeOrphanedTemporaries(project.folder());
    if (!parseProject(*text, project)) {
        engineLog(1, "%s: the project file is damaged", project.projectFilePath().c_str());
        return kProjectCorrupt;
    }
    project.location = location;
    project.name = name;
    project.stored.projectFileHash = fnv1a(*text);
    project.stored.projectFileBytes = text->size();
    if (auto journal = readWholeFile(project.journalPath()))
        project.stored.journalBytes = replayJournal(*journal, project.stored.projectFileHash, project.files);
    out = std::move(project);
    return kOk;
}

Status saveProject(Project& project) {
    const std::string text = serialiseProject(project);
    const AtomicWrite written = writeFileAtomically(project.projectFilePath(), text);
    if (written == AtomicWrite::kNotWritten) {
        engineLog(1, "%s: cannot write the project file", project.projectFilePath().c_str());
        return kWriteFailed;
    }
    // The new project file is in place: the next change goes to a journal
    // that names it.
    project.stored = StoredState{fnv1a(text), text.size(), 0};
    if (written == AtomicWrite::kNotDurable) {
        // A crash of the machine may still bring back the old project file,
        // so the journal that completes it stays.
        engineLog(1, "%s: written, but its folder cannot be flushed to disk", project.projectFilePath().c_str());
        return kWriteFailed;
    }
    // The journal names the project file it applies to, so one left behind
    // by a crash here is recognised as folded already.
    ::unlink(project.journalPath().c_str());
    return kOk;
}

bool isWrittenOut(const Project& project) {
    return project.stored.journalBytes == 0 && project.stored.projectFileHash == fnv1a(serialiseProject(project));
}

namespace {

Status record(Project& project, const FileChange& change) {
    StoredState& stored = project.stored;
    if (!appendToJournal(project.journalPath(), stored.projectFileHash, journalRecord(change), stored.journalBytes)) {
        engineLog(1, "%s: cannot write the change", project.journalPath().c_str());
        return kWriteFailed;
    }
    return kOk;
}

// Folding costs the size of the project; doing it only once the journal is
// as large as the project file keeps the cost per change constant. A fold
// that fails leaves the change in the journal, but is reported all the same:
// the disk is full or failing.
Status foldWhenLarge(Project& project) {
    const uint64_t kSmallestFold = uint64_t{64} * 1024;
    const StoredState& stored = project.stored;
    if (stored.journalBytes > kSmallestFold && stored.journalBytes > stored.projectFileBytes)
        return foldJournal(project);
    return kOk;
}

}  // namespace

Status putProjectFile(Project& project, const ProjectFile& file) {
    Status status = record(project, FileChange{false, file});
    if (status != kOk) return status;
    project.files.put(file);
    return foldWhenLarge(project);
}

Status removeProjectFile(Project& project, const std::string& path) {
    Status status = record(project, FileChange{true, ProjectFile{path, 0, {}, {}}});
    if (status != kOk) return status;
    project.files.remove(path);
    return foldWhenLarge(project);
}

Status foldJournal(Project& project) {
    return project.stored.journalBytes == 0 ? kOk : saveProject(project);
}

}  // namespace kerv::engine
