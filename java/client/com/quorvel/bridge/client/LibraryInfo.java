package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import java.nio.file.Path;
import java.util.List;
import java.util.Objects;

/**
 * What a session's analysis library tells about itself, and its settings: workspace, languages, file extensions,
 * version, folders, help and log. Reached with {@link KervSession#library()}; its calls run on the session's bridge
 * thread like the session's own, and throw {@link IllegalStateException} once the session is closed.
 */
public final class LibraryInfo {
    private final SessionBridge bridge;

    LibraryInfo(SessionBridge bridge) {
        this.bridge = bridge;
    }

    /**
     * Returns the analysis library's file, as loaded.
     *
     * @return the library's real path
     */
    public Path file() {
        return Path.of(bridge.analysisLibrary());
    }

    // ---- Workspace, languages, extensions, tools -------------------------------------------------------------

    /**
     * Returns the workspace folder.
     *
     * @return the folder
     */
    public Path workspace() {
        return Path.of(bridge.call("getWorkspace", KERVBridge::getWorkspace));
    }

    /**
     * Sets the workspace folder.
     *
     * @param folder the folder
     */
    public void setWorkspace(Path folder) {
        String path = Arguments.path(folder, "folder");
        bridge.call("setWorkspace", () -> {
            KERVBridge.setWorkspace(path);
            return null;
        });
    }

    /**
     * Returns the languages the analysis library offers.
     *
     * @return the languages; empty when it names none
     */
    public List<SourceLanguage> availableLanguages() {
        return ResultDecoder.languages(bridge.call("getAvailableLanguages", KERVBridge::getAvailableLanguages));
    }

    /**
     * Returns the current language.
     *
     * @return the language
     * @throws IllegalArgumentException when the analysis library reports a number that names no language
     */
    public SourceLanguage currentLanguage() {
        return SourceLanguage.ofNumber(bridge.call("getCurrentLanguage", KERVBridge::getCurrentLanguage));
    }

    /**
     * Sets the current language.
     *
     * @param language the language
     */
    public void setCurrentLanguage(SourceLanguage language) {
        Objects.requireNonNull(language, "language");
        bridge.call("setCurrentLanguage", () -> {
            KERVBridge.setCurrentLanguage(language.number());
            return null;
        });
    }

    /**
     * Returns the file extensions that the analysis library maps to a language, those of C first.
     *
     * @return the extensions with their dot, such as ".c"; empty when there are none
     */
    public List<String> fileExtensions() {
        return FileDecoder.list(bridge.call("getFileExtensions", KERVBridge::getFileExtensions));
    }

    /**
     * Returns the report tools the analysis library can use.
     *
     * @return the tools; empty when there are none
     */
    public List<String> reportTools() {
        return FileDecoder.list(bridge.call("getReportTools", KERVBridge::getReportTools));
    }

    // ---- Versions, paths, help, log -------------------------------------------------------------------------

    /**
     * Returns the analysis library's version.
     *
     * @return the version, such as "1.0.0"
     */
    public String version() {
        return bridge.call("getVersionNumber", KERVBridge::getVersionNumber);
    }

    /**
     * Returns the description of the analysis library's components.
     *
     * @return the description; empty when the library gives none
     */
    public String components() {
        return bridge.call("getComponents", KERVBridge::getComponents);
    }

    /**
     * Returns the analysis library's installation and user folders.
     *
     * @return the paths
     */
    public InstallPaths installPaths() {
        return bridge.call("getInstallPath", () -> new InstallPaths(KERVBridge.getInstallPath(),
                KERVBridge.getInstallConfigPath(), KERVBridge.getInstallBinaryPath(), KERVBridge.getUserPath(),
                KERVBridge.getUserConfigPath(), KERVBridge.getUserAppConfigPath()));
    }

    /**
     * Returns the analysis library's help.
     *
     * @param html whether the help is wanted as HTML rather than plain text
     * @return the help; empty when the library has none
     */
    public String help(boolean html) {
        return bridge.call("getVQFHelp", () -> KERVBridge.getVQFHelp(html));
    }

    /**
     * Returns the help on one topic.
     *
     * @param context the topic
     * @return the help; empty when the library has none for the topic
     */
    public String help(HelpContext context) {
        Objects.requireNonNull(context, "context");
        return bridge.call("getVQFContextHelp", () -> KERVBridge.getVQFContextHelp(context.ordinal()));
    }

    /**
     * Sets the log level of the bridge and of the analysis library.
     *
     * @param level the level
     */
    public void setLogLevel(LogLevel level) {
        Objects.requireNonNull(level, "level");
        bridge.call("setDebugLevel", () -> {
            KERVBridge.setDebugLevel(level.ordinal());
            return null;
        });
    }

    /**
     * Returns the analysis library's own log level.
     *
     * @return the level
     */
    public LogLevel logLevel() {
        return LogLevel.of(bridge.call("getDebugLevel", KERVBridge::getDebugLevel));
    }

    /**
     * Sends the bridge's log to a file, which is emptied first, or back to standard output.
     *
     * @param file the log file, {@code null} for standard output
     */
    public void setLogFile(Path file) {
        String path = file == null ? null : Arguments.path(file, "file");
        bridge.call("setNativeLogFile", () -> {
            KERVBridge.setNativeLogFile(path);
            return null;
        });
    }

    /** Asks the analysis library to drop its cached objects; they are read again when needed. */
    public void clearCachedObjects() {
        bridge.call("clearCachedObjects", () -> {
            KERVBridge.clearCachedObjects();
            return null;
        });
    }
}
