// The journal of a project: changes to its file list appended to
// "project.journal" beside project.kerv, so that a change costs the size of
// the change and not of the project.
//
// The journal is a record log (RecordLog.h). Its first record names the
// project file the journal applies to by a hash of its bytes:
// "kerv-journal<TAB><hash>". Each following record is one change in the
// fields of LineRecords:
//   put <language> <path> <define count> <defines...> <includes...>
//   remove <path>
// A record cut short or with a wrong CRC ends the journal: it is the tail of
// an append that a crash interrupted, and everything before it is kept. A
// journal whose hash does not match the project file was already folded into
// it and is ignored.
#pragma once

#include <cstdint>
#include <string>

#include "engine/store/FileList.h"

namespace kerv::engine {

struct FileChange {
    bool remove = false;
    ProjectFile file;  // only the path for a removal
};

std::string journalRecord(const FileChange& change);  // the payload of one record

// Applies the journal's intact records to `files` and returns their length,
// header included. Nothing applies (0) when the journal is absent, empty, for
// another project file or damaged from its first record.
uint64_t replayJournal(const std::string& text, uint64_t projectFileHash, FileList& files);

// Appends `record` to the journal at `path` and syncs it. `validBytes` is the
// intact length known so far (0: start a new journal for `projectFileHash`);
// anything beyond it, a torn tail, is cut off first. On success `validBytes`
// takes the new length.
bool appendToJournal(const std::string& path, uint64_t projectFileHash, const std::string& record,
                     uint64_t& validBytes);

}  // namespace kerv::engine
