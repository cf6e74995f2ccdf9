package com.quorvel.bridge.lsp;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleGroup;
import com.quorvel.bridge.client.SourceFile;
import com.quorvel.bridge.client.SourceLanguage;
import com.quorvel.bridge.client.SuppressionState;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.HashSet;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.RejectedExecutionException;
import java.util.concurrent.ScheduledFuture;
import java.util.concurrent.ScheduledThreadPoolExecutor;
import java.util.concurrent.TimeUnit;

/**
 * The analysis side of the server, on one thread of its own (the analysis thread), which alone uses the session.
 *
 * <p>The workspace project is the one the command line keeps for the folder, so both share files and results. The
 * first analysis after the start brings every file up to date, in the background with progress; after that the
 * analysis library's own staleness decides what a save analyses again (the saved file, and whatever else changed on
 * disk), and every open document whose diagnostics changed is published again. The project is held open only while
 * the server works on it and for a short grace time after, so that a command-line run or a second editor on the same
 * folder gets it in between; while another process holds it, the work waits and is tried again.
 *
 * <p>Unsaved text is analysed, after a quiet time, by {@link BufferAnalysis} in a project of the server's own; a newer
 * change cancels a pending analysis, and the result of a running one that a newer change overtook is dropped.
 */
final class Workspace {
    /** Quiet time after a change before the text is analysed. */
    static final long QUIET_MILLIS = 300;
    /** How long the workspace project stays open after the last work on it. */
    static final long GRACE_MILLIS = 1000;
    private static final long RETRY_MILLIS = 250;

    private final Connection connection;
    private final ServerLog log;
    private final Path root;
    private final Path library;
    private final boolean progressSupported;
    private final Map<String, TextDocument> documents;
    private final ScheduledThreadPoolExecutor thread;
    private final Map<String, ScheduledFuture<?>> bufferTasks = new ConcurrentHashMap<>();
    private final Publisher publisher;
    private final ProjectSync sync;

    // ---- Used on the analysis thread only ----
    private KervSession session;
    private Project project;
    private BufferAnalysis buffers;
    private List<String> sourceExtensions = List.of();
    private Set<String> switchedOff = Set.of();
    private boolean syncWanted = true;
    private boolean refreshWanted = true;
    private boolean firstRefresh = true;
    private final Set<String> toPublish = new LinkedHashSet<>();
    /** Saved documents whose next publication from the project is sent even when nothing changed. */
    private final Set<String> saved = new HashSet<>();
    /** By document URI: the settings of its file in the workspace project; a null value for a file it lacks. */
    private final Map<String, SourceFile> settings = new HashMap<>();
    private final Set<String> reported = new HashSet<>();
    private ScheduledFuture<?> mainTask;
    private ScheduledFuture<?> releaseTask;
    private boolean waiting;
    private boolean failureShown;

    /**
     * @param root the workspace folder, a real path
     * @param database the compilation database the client named; null for none
     * @param library the analysis library; null for the bundled one
     * @param documents the open documents, which the protocol thread keeps up to date
     */
    Workspace(Connection connection, ServerLog log, Path root, String database, Path library,
            boolean progressSupported, Map<String, TextDocument> documents) {
        this.connection = connection;
        this.log = log;
        this.root = root;
        this.library = library;
        this.progressSupported = progressSupported;
        this.documents = documents;
        this.publisher = new Publisher(connection, () -> documents);
        this.sync = new ProjectSync(root, database, log);
        this.thread = new ScheduledThreadPoolExecutor(1, task -> {
            Thread created = new Thread(task, "kerv-lsp-analysis");
            created.setDaemon(true);
            return created;
        });
        thread.setRemoveOnCancelPolicy(true);
    }

    // ---- Called on the protocol thread ----------------------------------------------------------------------

    /** Opens the session and starts the first analysis of the workspace. */
    void start() {
        run(this::open);
    }

    void opened(TextDocument document) {
        run(() -> {
            if (!analysable(document, false)) {
                publisher.publishEmpty(document);
                return;
            }
            syncWanted |= sync.isStale();
            toPublish.add(document.uri());
            scheduleMain(0);
            if (isSource(document.path()) && !isSaved(document)) {
                scheduleBuffer(document.uri(), 0);
            }
        });
    }

    void changed(TextDocument document) {
        if (document.path() != null) {
            scheduleBuffer(document.uri(), QUIET_MILLIS);
        }
    }

    void saved(TextDocument document) {
        run(() -> {
            syncWanted |= sync.isStale() || sync.isDatabase(document.path());
            refreshWanted = true;
            toPublish.add(document.uri());
            saved.add(document.uri());
            scheduleMain(0);
        });
    }

    void closed(String uri) {
        ScheduledFuture<?> pending = bufferTasks.remove(uri);
        if (pending != null) {
            pending.cancel(false);
        }
        run(() -> {
            settings.remove(uri);
            reported.remove(uri);
            saved.remove(uri);
            publisher.clear(uri);
            if (buffers != null) {
                buffers.forget(uri);
            }
        });
    }

    /** Files changed on disk: a database is imported again, the folder's files taken again, stale files analysed. */
    void filesChanged(List<Path> changed, boolean createdOrDeleted) {
        run(() -> {
            for (Path file : changed) {
                if (sync.isDatabase(file) || createdOrDeleted && sync.takesFolder()) {
                    syncWanted = true;
                }
            }
            refreshWanted = true;
            scheduleMain(100);
        });
    }

    /**
     * Stops the analysis thread after its current work, closes the session (the project's changes are folded into
     * it and its lock released) and deletes the private folder; waits at most {@code millis}.
     *
     * @return whether it all ended in time
     */
    boolean close(long millis) {
        ScheduledFuture<?> last;
        try {
            last = thread.schedule(() -> {
                thread.getQueue().clear();
                if (session != null) {
                    session.close();
                }
                if (buffers != null) {
                    buffers.close();
                }
            }, 0, TimeUnit.MILLISECONDS);
        } catch (RejectedExecutionException e) {
            return true;
        }
        thread.shutdown();
        try {
            last.get(millis, TimeUnit.MILLISECONDS);
            return true;
        } catch (Exception e) {
            return false;
        }
    }

    // ---- The analysis thread --------------------------------------------------------------------------------

    private void run(Runnable task) {
        try {
            thread.execute(() -> guarded(task));
        } catch (RejectedExecutionException e) {
            // shut down
        }
    }

    private void guarded(Runnable task) {
        try {
            task.run();
        } catch (RuntimeException | Error e) {
            log.log(ServerLog.ERROR, "internal error: " + e);
        }
    }

    private void open() {
        try {
            session = library == null ? Kerv.open() : Kerv.open(library);
            buffers = new BufferAnalysis(session);
            sourceExtensions = session.library().fileExtensions();
        } catch (RuntimeException | IOException e) {
            log.show(ServerLog.ERROR, "the analysis cannot start: " + e.getMessage());
            return;
        }
        scheduleMain(0);
    }

    private void scheduleMain(long delay) {
        if (session == null) {
            return;  // not started: the start schedules it
        }
        if (mainTask != null && mainTask.getDelay(TimeUnit.MILLISECONDS) <= delay) {
            return;
        }
        if (mainTask != null) {
            mainTask.cancel(false);
        }
        mainTask = thread.schedule(() -> guarded(this::workOnProject), delay, TimeUnit.MILLISECONDS);
    }

    private void scheduleBuffer(String uri, long delay) {
        bufferTasks.compute(uri, (key, pending) -> {
            if (pending != null) {
                pending.cancel(false);
            }
            try {
                return thread.schedule(() -> guarded(() -> analyseBuffer(uri)), delay, TimeUnit.MILLISECONDS);
            } catch (RejectedExecutionException e) {
                return null;
            }
        });
    }

    /** Does what the workspace project waits for: sync, analysis, publishing. Tried again while it is locked. */
    private void workOnProject() {
        mainTask = null;
        if (releaseTask != null) {
            releaseTask.cancel(false);
            releaseTask = null;
        }
        try {
            long start = System.nanoTime();
            if (project == null) {
                project = session.openProject(session.library().workspace(), Project.defaultName(root));
                log.log(ServerLog.INFO, "project " + project.name() + " in " + project.location());
            }
            project.hasResults(root);  // opens the project when it was released, so that the time shows apart
            long opened = System.nanoTime();
            syncWanted |= sync.takesFolder() && toPublish.stream().map(documents::get).anyMatch(this::isNewSource);
            if (syncWanted) {
                sync.sync(project);
                syncWanted = false;
                refreshWanted = true;
                settings.clear();
                switchedOff = switchedOffRules(project.ruleGroups());
            }
            boolean refreshed = refreshWanted;
            long synced = System.nanoTime();
            if (refreshWanted) {
                refresh();
            }
            long analysed = System.nanoTime();
            if (publishFromProject() && !refreshed) {
                refresh();
                publishFromProject();
            }
            log.log(ServerLog.LOG, String.format("workspace project: open %.0f ms, sync %.0f ms, analysis %.0f ms,"
                    + " publication %.0f ms", (opened - start) / 1e6, (synced - opened) / 1e6,
                    (analysed - synced) / 1e6, (System.nanoTime() - analysed) / 1e6));
            for (String uri : toPublish) {  // still stale after an analysis: the analyser failed on them
                TextDocument document = documents.get(uri);
                if (document != null) {
                    log.log(ServerLog.WARNING, document.path() + " could not be analysed");
                    publisher.publishEmpty(document);
                }
            }
            if (!toPublish.isEmpty() && !failureShown) {
                failureShown = true;
                log.show(ServerLog.WARNING,
                        "open files could not be analysed (" + session.library().components() + ")");
            }
            toPublish.clear();
            if (waiting) {
                log.log(ServerLog.INFO, "the other process closed the project");
                waiting = false;
            }
            releaseTask = thread.schedule(() -> guarded(this::releaseProject), GRACE_MILLIS, TimeUnit.MILLISECONDS);
        } catch (KervException e) {
            if (e.reason() != KervStatus.PROJECT_LOCKED) {
                log.show(ServerLog.ERROR, e.getMessage());
                return;
            }
            if (!waiting) {
                log.log(ServerLog.INFO, e.getMessage() + "; waiting for it");
                waiting = true;
            }
            scheduleMain(RETRY_MILLIS);
        }
    }

    private void releaseProject() {
        releaseTask = null;
        if (project != null && mainTask == null) {
            project.release();
        }
    }

    private void refresh() {
        String title = firstRefresh ? "kerv: analysing " + root.getFileName() : "kerv: analysing";
        ProgressReporter progress = new ProgressReporter(connection, progressSupported, title, firstRefresh ? 0 : 500);
        try {
            project.refresh(progress);
        } finally {
            progress.end("done");
        }
        firstRefresh = false;
        refreshWanted = false;
        for (TextDocument document : documents.values()) {
            toPublish.add(document.uri());
            if (analysable(document, true) && isSource(document.path()) && !isSaved(document)) {
                scheduleBuffer(document.uri(), 0);  // what it includes may have changed
            }
        }
    }

    /**
     * Publishes the stored results of the waiting documents whose text is the file's; those whose results are stale
     * stay waiting. Returns whether some do.
     */
    private boolean publishFromProject() {
        List<String> stale = new ArrayList<>();
        for (String uri : toPublish) {
            TextDocument document = documents.get(uri);
            if (document == null || !analysable(document, true)) {
                continue;
            }
            Optional<SourceFile> held = project.file(document.path());
            settings.put(uri, held.orElse(null));
            if (held.isEmpty()) {
                if (isSource(document.path()) && reported.add(uri)) {
                    log.log(ServerLog.INFO, document.path() + " is not a file of the project"
                            + (sync.database() != null ? " (the compilation database does not name it)" : ""));
                }
                publisher.publish(document);
            } else if (!isSaved(document)) {
                continue;  // the text's own analysis publishes it
            } else if (project.hasUpToDateResults(document.path())) {
                publisher.analysed(document, active(project.diagnostics(document.path())), saved.remove(uri));
            } else {
                stale.add(uri);
            }
        }
        toPublish.clear();
        toPublish.addAll(stale);
        return !stale.isEmpty();
    }

    /** A source file of the folder that the project does not hold yet (new since the folder was last taken). */
    private boolean isNewSource(TextDocument document) {
        return document != null && analysable(document, true) && isSource(document.path())
                && project.file(document.path()).isEmpty();
    }

    private void analyseBuffer(String uri) {
        TextDocument document = documents.get(uri);
        if (document == null || !analysable(document, true) || !isSource(document.path())) {
            return;
        }
        if (isSaved(document)) {
            toPublish.add(uri);  // the stored results of the file are the text's
            scheduleMain(0);
            return;
        }
        if (!settings.containsKey(uri)) {
            if (project == null) {
                scheduleBuffer(uri, RETRY_MILLIS);
                return;
            }
            try {
                settings.put(uri, project.file(document.path()).orElse(null));
            } catch (KervException e) {
                if (e.reason() != KervStatus.PROJECT_LOCKED) {
                    throw e;
                }
                scheduleBuffer(uri, RETRY_MILLIS);
                return;
            }
        }
        List<Diagnostic> found;
        try {
            found = buffers.analyse(document, settings.get(uri), switchedOff);
        } catch (IOException | KervException | IllegalArgumentException e) {
            log.log(ServerLog.WARNING, "the unsaved text of " + document.path() + " cannot be analysed: "
                    + e.getMessage());
            return;
        }
        TextDocument now = documents.get(uri);
        if (now != null && now.version() == document.version()) {
            publisher.analysed(document, found, false);
        }  // else a newer change overtook it: its own analysis follows
    }

    // ---- Helpers --------------------------------------------------------------------------------------------

    /**
     * Whether a document is one the server analyses: a local file below the workspace folder that exists; others get
     * empty diagnostics and one log line.
     */
    private boolean analysable(TextDocument document, boolean quiet) {
        Path file = document.path();
        String why = file == null ? "is not a local file"
                : !file.startsWith(root) ? "is outside the workspace folder " + root
                : !Files.isRegularFile(file) ? "does not exist (yet)"
                : null;
        if (why != null && !quiet && reported.add(document.uri())) {
            log.log(ServerLog.INFO, document.uri() + " " + why + "; it is not analysed");
        }
        return why == null;
    }

    private boolean isSource(Path file) {
        return file != null && sourceExtensions.contains(SourceLanguage.extensionOf(file));
    }

    /** Whether the document's text is its file's. */
    private static boolean isSaved(TextDocument document) {
        try {
            return document.text().equals(new String(Files.readAllBytes(document.path()), StandardCharsets.UTF_8));
        } catch (IOException e) {
            return false;
        }
    }

    private static List<Diagnostic> active(List<Diagnostic> diagnostics) {
        return diagnostics.stream().filter(d -> d.suppressionState() == SuppressionState.ACTIVE).toList();
    }

    private static Set<String> switchedOffRules(List<RuleGroup> groups) {
        Set<String> off = new HashSet<>();
        for (RuleGroup group : groups) {
            for (Rule rule : group.rules()) {
                if (!rule.active()) {
                    off.add(rule.id());
                }
            }
        }
        return off;
    }
}
