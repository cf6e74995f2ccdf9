#include "engine/analysis/HeaderGraph.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/store/FileSystem.h"
#include "engine/store/Hashing.h"

namespace kerv::engine {

namespace {

// Empty for a path that is not a regular file.
std::string identityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return "";
    return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) + ':' + std::to_string(info.st_size) + ':' +
           std::to_string(info.st_mtim.tv_sec) + '.' + std::to_string(info.st_mtim.tv_nsec) + ':' +
           std::to_string(info.st_ctim.tv_sec) + '.' + std::to_string(info.st_ctim.tv_nsec);
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return simplifyPath(name);
    return simplifyPath(folder.back() == '/' ? folder + name : folder + "/" + name);
}

}  // namespace

std::string simplifyPath(const std::string& path) {
    const bool absolute = !path.empty() && path[0] == '/';
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::string simple = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) simple += (i ? "/" : "") + parts[i];
    return simple;
}

const HeaderCache::Header& HeaderCache::current(const std::string& path) {
    std::string identity = identityOf(path);
    Entry& entry = entries_[path];
    if (!identity.empty() && identity == entry.identity) return entry.header;
    entry.identity = identity;
    entry.header = Header{};
    if (identity.empty()) return entry.header;
    if (auto bytes = readWholeFile(path)) {
        entry.header.readable = true;
        entry.header.hash = fnv1a(*bytes);
        entry.header.scanned = scanSource(*bytes);
    } else {
        entry.identity.clear();  // read again next time
    }
    return entry.header;
}

const HeaderCache::Header& HeaderGraph::header(const std::string& path) {
    auto found = seen_.find(path);
    if (found != seen_.end()) return *found->second;
    const HeaderCache::Header& header = cache_.current(path);
    seen_.emplace(path, &header);
    return header;
}

const std::string* HeaderGraph::resolve(const std::string& includer, const std::string& name, bool angle,
                                        const std::vector<const std::string*>& folders) {
    auto found = [&](const std::string& candidate) -> const std::string* {
        if (!header(candidate).readable) return nullptr;
        return &seen_.find(candidate)->first;
    };
    if (name[0] == '/') return found(simplifyPath(name));
    if (!angle)
        if (const std::string* beside = found(joined(parentFolder(includer), name))) return beside;
    for (const std::string* folder : folders)
        if (const std::string* inFolder = found(joined(*folder, name))) return inFolder;
    return nullptr;
}

std::vector<HeaderStamp> HeaderGraph::headersOf(const std::string& source, const std::string& text,
                                                const std::vector<const std::string*>& folders,
                                                const std::vector<const std::string*>& defines) {
    const ScannedSource scanned = scanSource(text);
    if (scanned.includes.empty()) return {};
    std::set<std::string> reached;
    std::map<std::string, std::vector<std::string>> macros;  // header-name macros by name
    for (const std::string* define : defines) {
        size_t equals = define->find('=');
        if (equals == std::string::npos || equals + 1 >= define->size()) continue;
        char open = (*define)[equals + 1];
        if ((open == '"' && define->back() == '"') || (open == '<' && define->back() == '>'))
            macros[define->substr(0, equals)].push_back(define->substr(equals + 1));
    }
    std::vector<std::pair<const std::string*, const ScannedSource*>> toRead = {{&source, &scanned}};
    std::vector<std::pair<const std::string*, std::string>> computed;  // includer, macro
    auto reach = [&](const std::string* includer, const std::string& name, bool angle) {
        if (name.empty()) return;
        const std::string* path = resolve(*includer, name, angle, folders);
        if (path && *path != source && reached.insert(*path).second) toRead.emplace_back(path, &header(*path).scanned);
    };
    size_t computedDone = 0;
    for (;;) {
        while (!toRead.empty()) {
            auto [includer, directives] = toRead.back();
            toRead.pop_back();
            for (const auto& [name, value] : directives->headerMacros) macros[name].push_back(value);
            for (const auto& include : directives->includes) {
                if (include.computed)
                    computed.emplace_back(includer, include.name);
                else
                    reach(includer, include.name, include.angle);
            }
        }
        // Computed includes once every file reached so far has given its macros.
        if (computedDone == computed.size()) break;
        for (; computedDone < computed.size(); ++computedDone) {
            auto found = macros.find(computed[computedDone].second);
            if (found == macros.end()) continue;
            for (const auto& value : found->second)
                reach(computed[computedDone].first, value.substr(1, value.size() - 2), value[0] == '<');
        }
    }
    std::vector<HeaderStamp> headers;
    headers.reserve(reached.size());
    for (const auto& path : reached) headers.push_back({path, header(path).hash});
    return headers;
}

}  // namespace kerv::engine
