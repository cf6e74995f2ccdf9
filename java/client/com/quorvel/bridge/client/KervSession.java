package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.List;
import java.util.Objects;
import java.util.function.Consumer;

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
    private final SessionBridge bridge;
    private final LibraryInfo library;

    private KervSession(SessionBridge bridge) {
        this.bridge = bridge;
        this.library = new LibraryInfo(bridge);
    }

    /** Loads and starts the analysis library on a new bridge thread; {@code loaded} runs once it is loaded. */
    static KervSession start(String analysisLibrary, Runnable loaded) {
        return new KervSession(SessionBridge.start(analysisLibrary, loaded));
    }

    /** The session's bridge calls, for its projects. */
    SessionBridge bridge() {
        return bridge;
    }

    /**
     * Returns what the analysis library tells about itself (version, languages, file extensions, folders, help) and
     * its settings (workspace, log).
     *
     * @return the library's information, valid while the session is open
     */
    public LibraryInfo library() {
        return library;
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
        bridge.open(project, Arguments.path(folder, "location"), acf, rcf, cct);
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
        bridge.waitForLockedProjects(limit, notice);
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
        return bridge.call("isVQFProject", () -> KERVBridge.isVQFProject(where, name));
    }

    /**
     * Returns the cross-module projects the analysis library knows (with the reference library, the projects in the
     * workspace).
     *
     * @return the project names; empty when there are none
     */
    public List<String> projects() {
        return FileDecoder.list(bridge.call("getCMAProjects", KERVBridge::getCMAProjects));
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
            bridge.stop();
        } finally {
            if (bridge.isStopped()) {
                Kerv.closed(this);
            }
        }
    }
}
