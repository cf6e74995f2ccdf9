package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.List;
import java.util.Objects;
import java.util.concurrent.Callable;
import java.util.concurrent.TimeUnit;
import java.util.function.Consumer;
import java.util.function.Supplier;

/**
 * A session with the analysis library, opened by {@link Kerv}.
 *
 * <p>The session owns one bridge thread: it started the analysis library there, and every call of the session and of
 * its projects runs there, one at a time in arrival order. Any thread may therefore use a session and its projects at
 * any time; each call blocks until its turn has come and its result is back. Calls made from inside a progress
 * listener throw {@link IllegalStateException}, since the bridge thread is busy with the analysis that reports the
 * progress. After {@link #close()} every method of the session and of its projects throws
 * {@link IllegalStateException}.
 *
 * <p>Arguments are checked before any call reaches the bridge: {@code null} throws {@link NullPointerException} and
 * an unusable value {@link IllegalArgumentException}, each naming the argument.
 */
public final class KervSession implements AutoCloseable {
    private static final String BIND_KEY = "";

    private final BridgeThread bridge;
    private final String analysisLibrary;
    /** The project that the analysis library has open; read and written only on the bridge thread. */
    private Project openProject;
    /** How long opening a project that another process has open waits for it; zero fails at once. */
    private volatile Duration lockWait = Duration.ZERO;
    private volatile Consumer<String> lockNotice = notice -> { };

    private KervSession(BridgeThread bridge, String analysisLibrary) {
        this.bridge = bridge;
        this.analysisLibrary = analysisLibrary;
    }

    /** Loads and starts the analysis library on a new bridge thread; {@code loaded} runs once it is loaded. */
    static KervSession start(String analysisLibrary, Runnable loaded) {
        BridgeThread bridge = new BridgeThread();
        KervSession session = new KervSession(bridge, analysisLibrary);
        try {
            String answer = bridge.call("initJniBridge", () -> KERVBridge.initJniBridge(analysisLibrary));
            if (!KERVBridge.INIT_OK.equals(answer)) {
                throw new KervException("initJniBridge", KervStatus.BRIDGE_FAILURE.code(), answer, null);
            }
            loaded.run();
            check("initDeploymentInfo", bridge.call("initDeploymentInfo", KERVBridge::initDeploymentInfo),
                    analysisLibrary);
            check("initApi", bridge.call("initApi", () -> KERVBridge.initApi(BIND_KEY)), analysisLibrary);
            return session;
        } catch (RuntimeException | Error e) {
            bridge.stop(() -> { });
            throw e;
        }
    }

    /** Throws {@link KervException} for a status other than 0. */
    static void check(String operation, long status) {
        if (status != 0) {
            throw new KervException(operation, (int) status);
        }
    }

    /** Throws {@link KervException} naming {@code subject}, the path or value at fault, for a status other than 0. */
    static void check(String operation, long status, String subject) {
        if (status != 0) {
            throw KervException.of(operation, (int) status, subject);
        }
    }

    /**
     * Throws {@link KervException} naming the project's folder for a status other than 0; for a project that another
     * process has open, also that process's id, which the reference library keeps in the folder's lock file.
     */
    static void checkProject(String operation, long status, Path location, String name) {
        if (status == 0) {
            return;
        }
        Path folder = location.resolve(name);
        String subject = "project folder " + folder;
        if (status == KervStatus.PROJECT_LOCKED.code()) {
            String holder;
            try {
                holder = Files.readString(folder.resolve(ProjectStore.LOCK_FILE), StandardCharsets.US_ASCII).strip();
            } catch (IOException e) {
                holder = "";
            }
            subject += " is open in another process, " + (holder.isEmpty() ? "of unknown id" : "process " + holder);
        } else if (status == KervStatus.PROJECT_EXISTS.code()) {
            subject += " exists but holds no project";
        } else if (status == KervStatus.WRITE_FAILED.code()) {
            subject += " cannot be written";
        }
        throw KervException.of(operation, (int) status, subject);
    }

    /** Runs a bridge call on the session's bridge thread. */
    <T> T call(String operation, Callable<T> task) {
        return bridge.call(operation, task);
    }

    /** Runs a bridge call with {@code project} open in the analysis library, opening it first when another is. */
    <T> T callOn(Project project, String operation, Callable<T> task) {
        return whileLocked(() -> bridge.call(operation, () -> {
            if (openProject != project) {
                checkProject("initResults", KERVBridge.initResults(BIND_KEY, project.location().toString(),
                        project.name()), project.location(), project.name());
                openProject = project;
            }
            return task.call();
        }));
    }

    /** Closes {@code project} in the analysis library when it is the open one. */
    void release(Project project) {
        bridge.call("release", () -> {
            if (openProject == project) {
                openProject = null;
                KERVBridge.shutdownApi();
                check("initApi", KERVBridge.initApi(BIND_KEY), analysisLibrary);
            }
            return null;
        });
    }

    /**
     * Runs {@code attempt} again while it fails because another process has its project open, for at most the wait
     * that {@link #waitForLockedProjects} set. Only opening a project fails so, and then before the call's own work,
     * so an attempt may be repeated. The wait is spent on the caller's thread: other calls go on meanwhile.
     */
    private <T> T whileLocked(Supplier<T> attempt) {
        long deadline = 0;
        boolean waiting = false;
        while (true) {
            try {
                return attempt.get();
            } catch (KervException e) {
                if (e.reason() != KervStatus.PROJECT_LOCKED) {
                    throw e;
                }
                long now = System.nanoTime();
                if (!waiting) {
                    Duration limit = lockWait;
                    if (limit.isZero()) {
                        throw e;
                    }
                    waiting = true;
                    deadline = now + limit.toNanos();
                    lockNotice.accept(e.getMessage());
                }
                if (now - deadline >= 0) {
                    throw e;
                }
                try {
                    TimeUnit.NANOSECONDS.sleep(Math.min(TimeUnit.MILLISECONDS.toNanos(100), deadline - now));
                } catch (InterruptedException interrupted) {
                    Thread.currentThread().interrupt();
                    throw e;
                }
            }
        }
    }

    /**
     * Returns the analysis library's file, as loaded.
     *
     * @return the library's real path
     */
    public Path analysisLibrary() {
        return Path.of(analysisLibrary);
    }

    // ---- Projects ---------------------------------------------------------------------------------------------

    /**
     * Opens the project {@code name} in {@code location}, creating it with the default configuration when absent.
     * The folder {@code location} is created when it does not exist.
     *
     * @param location the folder that holds the project
     * @param name the project's name
     * @return the project
     * @throws IllegalArgumentException when the name is blank, holds '/' or is "." or ".."
     * @throws KervException when the analysis library cannot create or open it; {@link KervStatus#PROJECT_LOCKED}
     *     when another process has it open, named in the message
     * @throws UncheckedIOException when the folder cannot be created
     */
    public Project openProject(Path location, String name) {
        return openProject(location, name, null, null, null);
    }

    /**
     * Opens the project {@code name} in {@code location}, creating it with the given configuration files when absent
     * (an existing project keeps its own). The folder {@code location} is created when it does not exist.
     *
     * @param location the folder that holds the project
     * @param name the project's name
     * @param analysisConfiguration the analysis configuration file, {@code null} for the default
     * @param ruleConfiguration the rule configuration file, {@code null} for the default
     * @param compilerConfiguration the compiler configuration file, {@code null} for the default
     * @return the project
     * @throws IllegalArgumentException when the name is blank, holds '/' or is "." or "..", or a configuration file
     *     is not a readable regular file
     * @throws KervException when the analysis library cannot create or open the project, as for
     *     {@link #openProject(Path, String)}
     * @throws UncheckedIOException when the folder cannot be created
     */
    public Project openProject(Path location, String name, Path analysisConfiguration, Path ruleConfiguration,
            Path compilerConfiguration) {
        Objects.requireNonNull(location, "location");
        Arguments.projectName(name, "name");
        String acf = configuration(analysisConfiguration, "analysisConfiguration");
        String rcf = configuration(ruleConfiguration, "ruleConfiguration");
        String cct = configuration(compilerConfiguration, "compilerConfiguration");
        Path folder;
        try {
            folder = Files.createDirectories(location).toRealPath();
        } catch (IOException e) {
            throw new UncheckedIOException("location cannot be created: " + location, e);
        }
        Project project = new Project(this, folder, name);
        String where = Arguments.path(folder, "location");
        whileLocked(() -> bridge.call("openProject", () -> {
            if (!KERVBridge.isVQFProject(where, name)) {
                long created = KERVBridge.createProject(where, name, acf, rcf, cct);
                if (created != KervStatus.PROJECT_EXISTS.code() || !KERVBridge.isVQFProject(where, name)) {
                    checkProject("createProject", created, folder, name);
                }  // else another process made it meanwhile: it is opened below
            }
            checkProject("initResults", KERVBridge.initResults(BIND_KEY, where, name), folder, name);
            openProject = project;
            return null;
        }));
        return project;
    }

    /**
     * Makes opening a project that another process has open wait until that process closes it, for at most
     * {@code limit}, instead of failing at once with {@link KervStatus#PROJECT_LOCKED}. This holds for
     * {@link #openProject(Path, String)} and for every call on a project that has to be opened again (another of the
     * session's projects was used meanwhile, or it was {@linkplain Project#release() released}). The caller's thread
     * waits; the session's other calls go on meanwhile.
     *
     * @param limit the longest wait; {@link Duration#ZERO}, the default, fails at once
     * @param notice told, when a wait begins, the text of the refusal (which names the process); may be called from
     *     any thread that uses the session
     * @throws IllegalArgumentException when the limit is negative
     */
    public void waitForLockedProjects(Duration limit, Consumer<String> notice) {
        Objects.requireNonNull(limit, "limit");
        Objects.requireNonNull(notice, "notice");
        if (limit.isNegative()) {
            throw new IllegalArgumentException("limit is negative: " + limit);
        }
        lockNotice = notice;
        lockWait = limit;
    }

    private static String configuration(Path file, String name) {
        return file == null ? "" : Arguments.readableFile(file, name);
    }

    /**
     * Tells whether {@code location} holds a project called {@code name}.
     *
     * @param location the folder
     * @param name the project's name
     * @return whether the project exists
     */
    public boolean isProject(Path location, String name) {
        String where = Arguments.path(location, "location");
        Arguments.text(name, "name");
        return call("isVQFProject", () -> KERVBridge.isVQFProject(where, name));
    }

    /**
     * Returns the cross-module projects the analysis library knows (with the reference library, the projects in the
     * workspace).
     *
     * @return the project names; empty when there are none
     */
    public List<String> projects() {
        return FileDecoder.list(call("getCMAProjects", KERVBridge::getCMAProjects));
    }

    // ---- Workspace, languages, extensions, tools -------------------------------------------------------------

    /**
     * Returns the workspace folder.
     *
     * @return the folder
     */
    public Path workspace() {
        return Path.of(call("getWorkspace", KERVBridge::getWorkspace));
    }

    /**
     * Sets the workspace folder.
     *
     * @param folder the folder
     */
    public void setWorkspace(Path folder) {
        String path = Arguments.path(folder, "folder");
        call("setWorkspace", () -> {
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
        return ResultDecoder.languages(call("getAvailableLanguages", KERVBridge::getAvailableLanguages));
    }

    /**
     * Returns the current language.
     *
     * @return the language
     * @throws IllegalArgumentException when the analysis library reports a number that names no language
     */
    public SourceLanguage currentLanguage() {
        return SourceLanguage.ofNumber(call("getCurrentLanguage", KERVBridge::getCurrentLanguage));
    }

    /**
     * Sets the current language.
     *
     * @param language the language
     */
    public void setCurrentLanguage(SourceLanguage language) {
        Objects.requireNonNull(language, "language");
        call("setCurrentLanguage", () -> {
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
        return FileDecoder.list(call("getFileExtensions", KERVBridge::getFileExtensions));
    }

    /**
     * Returns the report tools the analysis library can use.
     *
     * @return the tools; empty when there are none
     */
    public List<String> reportTools() {
        return FileDecoder.list(call("getReportTools", KERVBridge::getReportTools));
    }

    // ---- Versions, paths, help, log -------------------------------------------------------------------------

    /**
     * Returns the analysis library's version.
     *
     * @return the version, such as "1.0.0"
     */
    public String version() {
        return call("getVersionNumber", KERVBridge::getVersionNumber);
    }

    /**
     * Returns the description of the analysis library's components.
     *
     * @return the description; empty when the library gives none
     */
    public String components() {
        return call("getComponents", KERVBridge::getComponents);
    }

    /**
     * Returns the analysis library's installation and user folders.
     *
     * @return the paths
     */
    public InstallPaths installPaths() {
        return call("getInstallPath", () -> new InstallPaths(KERVBridge.getInstallPath(),
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
        return call("getVQFHelp", () -> KERVBridge.getVQFHelp(html));
    }

    /**
     * Returns the help on one topic.
     *
     * @param context the topic
     * @return the help; empty when the library has none for the topic
     */
    public String help(HelpContext context) {
        Objects.requireNonNull(context, "context");
        return call("getVQFContextHelp", () -> KERVBridge.getVQFContextHelp(context.ordinal()));
    }

    /**
     * Sets the log level of the bridge and of the analysis library.
     *
     * @param level the level
     */
    public void setLogLevel(LogLevel level) {
        Objects.requireNonNull(level, "level");
        call("setDebugLevel", () -> {
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
        return LogLevel.of(call("getDebugLevel", KERVBridge::getDebugLevel));
    }

    /**
     * Sends the bridge's log to a file, which is emptied first, or back to standard output.
     *
     * @param file the log file, {@code null} for standard output
     */
    public void setLogFile(Path file) {
        String path = file == null ? null : Arguments.path(file, "file");
        call("setNativeLogFile", () -> {
            KERVBridge.setNativeLogFile(path);
            return null;
        });
    }

    /** Asks the analysis library to drop its cached objects; they are read again when needed. */
    public void clearCachedObjects() {
        call("clearCachedObjects", () -> {
            KERVBridge.clearCachedObjects();
            return null;
        });
    }

    /**
     * Shuts the analysis library's API down on the bridge thread, then stops the thread. Calls that other threads
     * made before are served first. Closing a closed session does nothing.
     *
     * @throws IllegalStateException when called from a progress listener
     */
    @Override
    public void close() {
        try {
            bridge.stop(KERVBridge::shutdownApi);
        } finally {
            if (bridge.isStopped()) {
                Kerv.closed(this);
            }
        }
    }
}
