package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import java.time.Duration;
import java.util.concurrent.Callable;
import java.util.concurrent.TimeUnit;
import java.util.function.Consumer;
import java.util.function.Supplier;

/**
 * A session's bridge calls: each runs on the session's {@link BridgeThread}, a project's calls with that project open
 * in the analysis library (which keeps one open at a time), and opening a project that another process holds waits
 * for it as long as the session allows.
 */
final class SessionBridge {
    private static final String BIND_KEY = "";

    private final BridgeThread thread;
    private final String analysisLibrary;
    /** The project that the analysis library has open; read and written only on the bridge thread. */
    private Project openProject;
    /** How long opening a project that another process has open waits for it; zero fails at once. */
    private volatile Duration lockWait = Duration.ZERO;
    private volatile Consumer<String> lockNotice = notice -> { };

    private SessionBridge(BridgeThread thread, String analysisLibrary) {
        this.thread = thread;
        this.analysisLibrary = analysisLibrary;
    }

    /** Loads and starts the analysis library on a new bridge thread; {@code loaded} runs once it is loaded. */
    static SessionBridge start(String analysisLibrary, Runnable loaded) {
        BridgeThread thread = new BridgeThread();
        try {
            String answer = thread.call("initJniBridge", () -> KERVBridge.initJniBridge(analysisLibrary));
            if (!KERVBridge.INIT_OK.equals(answer)) {
                throw new KervException("initJniBridge", KervStatus.BRIDGE_FAILURE.code(), answer, null);
            }
            loaded.run();
            StatusChecks.check("initDeploymentInfo",
                    thread.call("initDeploymentInfo", KERVBridge::initDeploymentInfo), analysisLibrary);
            StatusChecks.check("initApi", thread.call("initApi", () -> KERVBridge.initApi(BIND_KEY)),
                    analysisLibrary);
            return new SessionBridge(thread, analysisLibrary);
        } catch (RuntimeException | Error e) {
            thread.stop(() -> { });
            throw e;
        }
    }

    /** The analysis library's real path, as loaded. */
    String analysisLibrary() {
        return analysisLibrary;
    }

    /** Runs a bridge call on the bridge thread. */
    <T> T call(String operation, Callable<T> task) {
        return thread.call(operation, task);
    }

    /** Runs a bridge call with {@code project} open in the analysis library, opening it first when another is. */
    <T> T callOn(Project project, String operation, Callable<T> task) {
        return whileLocked(() -> thread.call(operation, () -> {
            if (openProject != project) {
                StatusChecks.checkProject("initResults", KERVBridge.initResults(BIND_KEY,
                        project.location().toString(), project.name()), project.location(), project.name());
                openProject = project;
            }
            return task.call();
        }));
    }

    /**
     * Opens {@code project}, held by the folder {@code where} under {@code name}, creating it with the given
     * configuration files ("" for the default) when it does not exist.
     */
    void open(Project project, String where, String acf, String rcf, String cct) {
        String name = project.name();
        whileLocked(() -> thread.call("openProject", () -> {
            if (!KERVBridge.isVQFProject(where, name)) {
                long created = KERVBridge.createProject(where, name, acf, rcf, cct);
                if (created != KervStatus.PROJECT_EXISTS.code() || !KERVBridge.isVQFProject(where, name)) {
                    StatusChecks.checkProject("createProject", created, project.location(), name);
                }  // else another process made it meanwhile: it is opened below
            }
            StatusChecks.checkProject("initResults", KERVBridge.initResults(BIND_KEY, where, name),
                    project.location(), name);
            openProject = project;
            return null;
        }));
    }

    /** Closes {@code project} in the analysis library when it is the open one. */
    void release(Project project) {
        thread.call("release", () -> {
            if (openProject == project) {
                openProject = null;
                KERVBridge.shutdownApi();
                StatusChecks.check("initApi", KERVBridge.initApi(BIND_KEY), analysisLibrary);
            }
            return null;
        });
    }

    /** Sets how long opening a project that another process has open waits, and whom a wait is told of. */
    void waitForLockedProjects(Duration limit, Consumer<String> notice) {
        lockNotice = notice;
        lockWait = limit;
    }

    /** Shuts the analysis library's API down once the calls queued before have run, then stops the thread. */
    void stop() {
        thread.stop(KERVBridge::shutdownApi);
    }

    /** Tells whether {@link #stop} was called: no call is accepted any more. */
    boolean isStopped() {
        return thread.isStopped();
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
}
