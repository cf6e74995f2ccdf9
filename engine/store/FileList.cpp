#include "engine/store/FileList.h"

namespace kerv::engine {

FileList::FileList(std::initializer_list<ProjectFile> files) {
    for (const ProjectFile& file : files) put(file);
}

FileList::FileList(const FileList& other) {
    for (const ProjectFile& file : other.files_) put(file);
}

FileList& FileList::operator=(const FileList& other) {
    if (this != &other) {
        FileList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ProjectFile* FileList::find(const std::string& path) {
    auto found = index_.find(path);
    return found == index_.end() ? nullptr : &*found->second;
}

const ProjectFile* FileList::find(const std::string& path) const {
    auto found = index_.find(path);
    return found == index_.end() ? nullptr : &*found->second;
}

ProjectFile& FileList::put(const ProjectFile& file) {
    if (ProjectFile* existing = find(file.path)) {
        existing->language = file.language;
        existing->defines = file.defines;
        existing->includes = file.includes;
        return *existing;
    }
    files_.push_back(file);
    index_.emplace(file.path, std::prev(files_.end()));
    return files_.back();
}

bool FileList::remove(const std::string& path) {
    auto found = index_.find(path);
    if (found == index_.end()) return false;
    files_.erase(found->second);
    index_.erase(found);
    return true;
}

}  // namespace kerv::engine
