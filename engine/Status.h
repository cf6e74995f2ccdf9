// Status codes returned by the entry points of libKERV.so.
//
// 0 is success; every failure is one of the negative codes below. -1 is never
// used, so that a caller can tell an engine failure from its own "entry point
// missing" value. getCMAProjectList and getReportTools are the exceptions to
// the rule: they return a positive value with their list and 0 without one.
#pragma once

namespace kerv::engine {

enum Status : int {
    kOk = 0,
    kNullArgument = -2,       // a required pointer argument is null
    kBadArgument = -3,        // an argument is malformed (bad project name, unknown language)
    kNoProject = -4,          // the call needs an open project and none is open
    kProjectNotFound = -5,    // no project with that location and name
    kProjectExists = -6,      // createProject: the project folder already exists
    kProjectCorrupt = -7,     // the project file cannot be read back
    kLocationMissing = -8,    // the project location is not a folder
    kWriteFailed = -9,        // a project or results file could not be written
    kConfigUnreadable = -10,  // an acf, rcf or cct file cannot be read
    kConfigSyntax = -11,      // an acf, rcf or cct file has a bad line (logged with file and line)
    kFileNotInProject = -12,  // the source file is not part of the open project
    kSourceUnreadable = -13,  // the source file does not exist or cannot be read
    kAnalyzerMissing = -14,   // cppcheck (or the launcher in front of it) cannot be found or started
    kAnalysisFailed = -15,    // cppcheck ran but gave no usable report
    kCctNotRegistered = -16,  // setActiveCCT names a cct file the project does not know
    kNoResults = -17,         // the file has never been analysed
    kOutOfMemory = -18,       // a record could not be allocated
    kInternalError = -19,     // an unexpected failure inside the engine
    kProjectLocked = -20,     // another process has the project open (logged with its process id)
};

}  // namespace kerv::engine
