// A configuration file as last read, kept until its file changes (its
// modification time or size), with the error of that read to log again on
// each use.
#pragma once

#include <optional>
#include <string>

#include "engine/config/ConfigFiles.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine {

template <class Config>
struct CachedConfig {
    std::string path;  // empty: the built-in defaults
    FileStamp stamp;
    ConfigError error;
    Config config;
};

// Reads `path` with `parse` unless `cached` holds that file as it is now;
// true when it was read.
template <class Config, class Parse>
bool refreshConfig(std::optional<CachedConfig<Config>>& cached, const std::string& path, Parse parse) {
    FileStamp stamp = path.empty() ? FileStamp{} : fileStamp(path);
    if (cached && cached->path == path && cached->stamp == stamp) return false;
    cached = CachedConfig<Config>{path, stamp, {}, {}};
    cached->error = parse(path, cached->config);
    return true;
}

}  // namespace kerv::engine
