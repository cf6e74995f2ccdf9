// The source files of a project in the order they were added, indexed by
// path: finding, adding, replacing and removing a file take constant time
// whatever the number of files.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

namespace kerv::engine {

struct ProjectFile {
    std::string path;  // normalised absolute path
    int language = 0;  // VQSourceLanguage_C: 0 C, 1 C++
    std::vector<std::string> defines;
    std::vector<std::string> includes;
};

class FileList {
public:
    using const_iterator = std::list<ProjectFile>::const_iterator;

    FileList() = default;
    FileList(std::initializer_list<ProjectFile> files);
    FileList(const FileList& other);
    FileList& operator=(const FileList& other);
    FileList(FileList&&) noexcept = default;  // a moved list keeps its nodes, so the index stays valid
    FileList& operator=(FileList&&) noexcept = default;
    ~FileList() = default;

    ProjectFile* find(const std::string& path);
    const ProjectFile* find(const std::string& path) const;
    // Replaces the settings of a file already listed (it keeps its place) or
    // appends it; returns the stored file.
    ProjectFile& put(const ProjectFile& file);
    bool remove(const std::string& path);

    size_t size() const { return files_.size(); }
    bool empty() const { return files_.empty(); }
    const_iterator begin() const { return files_.begin(); }
    const_iterator end() const { return files_.end(); }

private:
    std::list<ProjectFile> files_;
    std::unordered_map<std::string, std::list<ProjectFile>::iterator> index_;
};

}  // namespace kerv::engine
