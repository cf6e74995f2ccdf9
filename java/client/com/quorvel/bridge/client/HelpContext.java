package com.quorvel.bridge.client;

/** The topics of the analysis library's context help. */
public enum HelpContext {
    /** An overview. */
    OVERVIEW,
    /** Projects. */
    PROJECTS,
    /** Configuration files. */
    CONFIGURATION_FILES,
    /** Results. */
    RESULTS
}
