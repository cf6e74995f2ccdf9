package com.quorvel.bridge.caller;

/**
 * Java entry to the native analysis bridge, {@code libKERVBridge.so}.
 *
 * <p>The bridge forwards every call to an analysis library ({@code libKERV.so}) that it loads at run time from the
 * path given to {@link #initJniBridge(String)}. Results come back as text: compact XML (elements only, no
 * declaration, attributes or whitespace) or plain lists whose entries are separated by {@code ';'}.
 *
 * <h2>Loading the bridge</h2>
 * The bridge library is loaded when this class is initialised, unless {@link BridgeLibrary#load} loaded one before.
 * If the system property {@value #LIBRARY_PROPERTY} names a file, that file is loaded with
 * {@link System#load(String)}; otherwise {@code libKERVBridge.so} is looked up on {@code java.library.path} with
 * {@link System#loadLibrary(String)}. A bridge that cannot be found makes the class initialisation fail with an
 * {@link UnsatisfiedLinkError}.
 *
 * <h2>Threading and call order</h2>
 * <ul>
 *   <li>Call {@link #initJniBridge(String)} first, and make every later call on the thread that made the latest
 *       {@code initJniBridge} call, one call at a time. The bridge recognises that thread; a call made before any
 *       {@code initJniBridge}, or from any other thread, does nothing and returns the method's failure value.</li>
 *   <li>{@link #setDebugLevel(long)} and {@link #setNativeLogFile(String)} may be called at any time, also before
 *       {@code initJniBridge}, so that the loading of the analysis library can be traced.</li>
 *   <li>The analysis library is loaded once per process and stays loaded until the process ends.</li>
 * </ul>
 *
 * <h2>Failure values</h2>
 * No method throws for a failure of the analysis library; failures come back as values: {@code -1} for status codes
 * (0 is success), {@code false}, {@code 0}, the empty text or an empty byte array. Before the analysis library is
 * loaded, the path getters return {@code "null"} and {@link #getVersionNumber()} returns {@code "0.0.0"}.
 * A {@code null} text, or a text that holds the character U+0000, is refused wherever the method needs the text (the
 * analysis library never sees the call; the log names the method and the argument); the parameters documented as
 * nullable are the exceptions. When the JVM cannot allocate a result, the method returns {@code null} and an
 * {@link OutOfMemoryError} is thrown.
 *
 * <h2>Texts and lists</h2>
 * Texts cross in standard UTF-8 in both directions, so any Unicode text, including characters outside the Basic
 * Multilingual Plane, reaches the analysis library and comes back unchanged. Bytes from the analysis library that
 * are not valid UTF-8 arrive as U+FFFD. Byte-array results hold the native text's bytes unchanged (UTF-8).
 *
 * <p>Lists of texts are passed as one text in which the entries are joined by {@link #ITEM_SEPARATOR}, together with
 * the number of entries; {@link #joinItems(String...)} builds such a text. The analysis library receives exactly that
 * number of entries: extra entries are dropped, missing ones are passed as empty texts. A count of 0 or less means
 * "no list"; the text is then ignored and may be {@code null}.
 */
public final class KERVBridge {
    /** System property naming the bridge library file to load instead of searching {@code java.library.path}. */
    public static final String LIBRARY_PROPERTY = "com.quorvel.bridge.library";

    /** Separator of the entries of a list text: {@value}. */
    public static final char ITEM_SEPARATOR = BridgeConstants.ITEM_SEPARATOR;

    /** Source language number for C, as used by {@link #addFile} and {@link #setActiveCCT}. */
    public static final int SOURCE_LANGUAGE_C = BridgeConstants.SOURCE_LANGUAGE_C;

    /** Source language number for C++. */
    public static final int SOURCE_LANGUAGE_CPP = BridgeConstants.SOURCE_LANGUAGE_CPP;

    /** Text returned by {@link #initJniBridge(String)} when the analysis library is loaded. */
    public static final String INIT_OK = "OK";

    static {
        BridgeLibrary.loadForNatives();
    }

    private KERVBridge() {}

    /**
     * Joins list entries into one list text for {@link #addFile} and {@link #getTrees}.
     *
     * @param items the entries, none of them holding {@link #ITEM_SEPARATOR}
     * @return the entries joined by {@link #ITEM_SEPARATOR}
     */
    public static String joinItems(String... items) {
        return String.join(String.valueOf(ITEM_SEPARATOR), items);
    }

    // ---- Start-up and life cycle ------------------------------------------------------------------------------

    /**
     * Makes the calling thread the bridge's thread and loads the analysis library.
     *
     * @param path file of the analysis library; may be {@code null}
     * @return {@code "OK"} when the library is loaded (now or by an earlier call, in which case {@code path} is
     *     ignored); {@code "Failed to load libKERV.so: "} followed by the loader's message when it cannot be loaded;
     *     {@code "Please select a path for KERV.dll file!"} when {@code path} is {@code null}
     */
    public static native String initJniBridge(String path);

    /**
     * Prepares the analysis library's deployment information.
     *
     * @return the library's status, 0 on success
     */
    public static native long initDeploymentInfo();

    /** Hands a bind key to the analysis library. */
    public static native void setBindKey(String bindKey);

    /**
     * Starts the analysis library with a bind key.
     *
     * @return the library's status, 0 on success, -1 when unloaded
     */
    public static native long initApi(String bindKey);

    /** Shuts the analysis library's API down. */
    public static native void shutdownApi();

    /** Shuts the analysis library's application part down. */
    public static native void shutdownApp();

    /** Asks the analysis library to drop its cached objects. */
    public static native void clearCachedObjects();

    // ---- Paths, version, components, help -----------------------------------------------------------------------

    /** @return the analysis library's installation folder, {@code "null"} when unloaded */
    public static native String getInstallPath();

    /** @return the user's folder of the analysis library, {@code "null"} when unloaded */
    public static native String getUserPath();

    /** @return the installation's configuration folder, {@code "null"} when unloaded */
    public static native String getInstallConfigPath();

    /** @return the installation's binary folder, {@code "null"} when unloaded */
    public static native String getInstallBinaryPath();

    /** @return the user's application configuration folder, {@code "null"} when unloaded */
    public static native String getUserAppConfigPath();

    /** @return the user's configuration folder, {@code "null"} when unloaded */
    public static native String getUserConfigPath();

    /** @return a description of the analysis library's components, empty when unloaded */
    public static native String getComponents();

    /** @return the analysis library's version, {@code "0.0.0"} when unloaded */
    public static native String getVersionNumber();

    /**
     * @param context a help context number defined by the analysis library
     * @return the help text for that context, empty when unloaded
     */
    public static native String getVQFContextHelp(int context);

    /**
     * @param html whether the help is wanted as HTML
     * @return the help file's location or text, empty when unloaded
     */
    public static native String getVQFHelp(boolean html);

    // ---- Log settings -------------------------------------------------------------------------------------------

    /**
     * Sets the log level of the bridge and of the analysis library: 0 or less logs nothing (the start value), 1
     * logs failures, 2 or more also traces every call. May be called at any time; the analysis library receives
     * the level only on the bridge's thread.
     */
    public static native void setDebugLevel(long level);

    /** @return the analysis library's own log level, 0 when unloaded */
    public static native long getDebugLevel();

    /**
     * Sends the log to a file, emptied first. A path of two characters or fewer, or {@code null}, sends the log to
     * standard output. May be called at any time.
     */
    public static native void setNativeLogFile(String path);

    /** Kept for compatibility; does nothing. */
    public static native void setUserLibrary(Object library);

    // ---- Projects and files -------------------------------------------------------------------------------------

    /**
     * Creates a project. Missing configuration files are only logged; the analysis library decides what they mean.
     *
     * @param location folder of the project
     * @param name project name
     * @param acfFile analysis configuration file
     * @param rcfFile rule configuration file
     * @param cctFile compiler configuration file
     * @return the library's status, 0 on success, -1 when unloaded
     */
    public static native long createProject(
            String location, String name, String acfFile, String rcfFile, String cctFile);

    /**
     * Opens a project; the project and file calls then work on it.
     *
     * @param bindKey the bind key given to {@link #initApi(String)}
     * @param location folder of the project, as given to {@link #createProject}
     * @param name project name
     * @return the library's status, 0 on success, -1 when unloaded
     */
    public static native long initProjectMngr(String bindKey, String location, String name);

    /** @return whether {@code location} holds a project called {@code name} */
    public static native boolean isVQFProject(String location, String name);

    /**
     * Adds a source file to the open project.
     *
     * @param targetLanguage {@link #SOURCE_LANGUAGE_C}, {@link #SOURCE_LANGUAGE_CPP} or another number that the
     *     analysis library defines
     * @param file path of the source file
     * @param defines macro definitions joined with {@link #joinItems}; may be {@code null} when definesSize &lt;= 0
     * @param definesSize number of definitions
     * @param includes include folders joined with {@link #joinItems}; may be {@code null} when includesSize &lt;= 0
     * @param includesSize number of include folders
     * @return the library's status, 0 on success, -1 when unloaded
     */
    public static native long addFile(
            long targetLanguage, String file, String defines, int definesSize, String includes, int includesSize);

    /**
     * Removes a source file from the open project.
     *
     * @return the library's status, 0 on success
     */
    public static native long removeFile(String filePath);

    /** @return the open project's files separated by {@code ';'}, empty when there are none */
    public static native String getFiles();

    /**
     * @param path a file of the open project
     * @return the file's settings (language, defines, include folders) as compact XML, empty when unknown
     */
    public static native String getVQFile(String path);

    /** @return the file extensions mapped to C, then those mapped to C++, separated by {@code ';'} */
    public static native String getFileExtensions();

    /** @return the cross-module projects separated by {@code ';'}, empty when there are none */
    public static native String getCMAProjects();

    /** @return the report tools separated by {@code ';'}, empty when there are none */
    public static native String getReportTools();

    /**
     * Adds a compiler configuration file.
     *
     * @return the library's status, 0 on success
     */
    public static native long addCCT(String cctFile);

    /**
     * Makes a compiler configuration file the active one for a source language.
     *
     * @param lang {@link #SOURCE_LANGUAGE_C}, {@link #SOURCE_LANGUAGE_CPP} or another number the library defines
     * @param cctFile the compiler configuration file
     * @return the library's status, 0 on success, -1 when unloaded
     */
    public static native long setActiveCCT(int lang, String cctFile);

    /** Sets the workspace folder. */
    public static native void setWorkspace(String path);

    /** @return the workspace folder, {@code "null"} when unloaded */
    public static native String getWorkspace();

    /** @return the available languages as compact XML */
    public static native String getAvailableLanguages();

    /** Sets the current language (a number defined by the analysis library). */
    public static native void setCurrentLanguage(int language);

    /** @return the current language, 0 when unloaded */
    public static native int getCurrentLanguage();

    // ---- Results ------------------------------------------------------------------------------------------------

    /**
     * Opens the results of a project; the results calls then work on them.
     *
     * @param bindKey the bind key given to {@link #initApi(String)}
     * @param location folder of the project
     * @param name project name
     * @return the library's status, 0 on success, -1 when unloaded
     */
    public static native long initResults(String bindKey, String location, String name);

    /** @return whether the analysis library holds results for the file */
    public static native boolean hasResults(String filePath);

    /** @return whether the file's results are up to date */
    public static native boolean hasUpToDateResults(String filePath);

    /**
     * Runs the aggregation of results and returns when it is done. Progress is reported only in the log, as lines
     * {@code "Aggregate progress is N"} at level 2.
     */
    public static native void aggregate();

    /**
     * @param filePath a file of the open project
     * @param messages reserved, may be {@code null}; has no effect
     * @param rules reserved, may be {@code null}; has no effect
     * @param mask reserved; has no effect
     * @return the file's diagnostics as compact XML in UTF-8, empty when there are none
     */
    public static native byte[] getDiagnostics(String filePath, String messages, String rules, long mask);

    /**
     * @param flag passed to the analysis library, which defines its meaning
     * @param itemCount number of entries in {@code items}; 0 or less for none
     * @param items entries joined with {@link #joinItems}; may be {@code null} when itemCount &lt;= 0
     * @return the file, rule and message trees as compact XML in UTF-8, empty when there are none
     */
    public static native byte[] getTrees(boolean flag, int itemCount, String items);

    /** @return the rule groups with their rules as compact XML in UTF-8, empty when there are none */
    public static native byte[] getRuleGroups();

    /** @return the map from message ids to rule ids as compact XML in UTF-8, empty when there is none */
    public static native byte[] getMessageRuleMap();
}
