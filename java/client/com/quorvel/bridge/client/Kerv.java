package com.quorvel.bridge.client;

import com.quorvel.bridge.client.internal.NativeBundle;
import java.io.IOException;
import java.nio.file.Path;

/**
 * Opens sessions with an analysis library.
 *
 * <pre>{@code
 * try (KervSession kerv = Kerv.open()) {
 *     Project project = kerv.openProject(Path.of("work"), "demo");
 *     project.addFile(Path.of("src/bug.c"));
 *     project.analyse(percent -> System.out.println(percent + "%"));
 *     for (Diagnostic d : project.diagnostics(Path.of("src/bug.c")))
 *         System.out.println(d.locations().get(0).line() + " " + d.messageId() + " " + d.text());
 * }
 * }</pre>
 *
 * <p>An analysis library is loaded once per process and stays loaded: one session may be open at a time, and after
 * it is closed a new one may be opened on the same library, never on another.
 */
public final class Kerv {
    private static final Object LOCK = new Object();
    private static String loadedLibrary;
    private static KervSession openSession;

    private Kerv() {}

    /**
     * Opens a session with the reference analysis library that the client's jar carries.
     *
     * @return the open session
     * @throws KervLoadException when the bridge library cannot be found or loaded
     * @throws KervException when the analysis library cannot be loaded or started
     * @throws IllegalStateException when a session is open, or another analysis library was loaded in this process
     */
    public static KervSession open() {
        NativeBundle.loadBridge();
        return start(NativeBundle.bundledAnalysisLibrary());
    }

    /**
     * Opens a session with the given analysis library.
     *
     * @param analysisLibrary the analysis library's file ({@code libKERV.so} or another with its entry points)
     * @return the open session
     * @throws IllegalArgumentException when the file is not a readable regular file
     * @throws KervLoadException when the bridge library cannot be found or loaded
     * @throws KervException when the analysis library cannot be loaded or started
     * @throws IllegalStateException when a session is open, or another analysis library was loaded in this process
     */
    public static KervSession open(Path analysisLibrary) {
        Arguments.readableFile(analysisLibrary, "analysisLibrary");
        NativeBundle.loadBridge();
        return start(analysisLibrary);
    }

    private static KervSession start(Path analysisLibrary) {
        String library;
        try {
            library = analysisLibrary.toRealPath().toString();
        } catch (IOException e) {
            throw new IllegalArgumentException("analysisLibrary cannot be resolved: " + analysisLibrary, e);
        }
        synchronized (LOCK) {
            if (openSession != null) {
                throw new IllegalStateException("a session is already open in this process; close it before opening"
                        + " another");
            }
            if (loadedLibrary != null && !loadedLibrary.equals(library)) {
                throw new IllegalStateException("the analysis library " + loadedLibrary + " is already loaded in this"
                        + " process and cannot be replaced by " + library + "; a process loads one analysis library");
            }
            openSession = KervSession.start(library, () -> loadedLibrary = library);
            return openSession;
        }
    }

    /** Called by a session that closed, so that a new one may be opened. */
    static void closed(KervSession session) {
        synchronized (LOCK) {
            if (openSession == session) {
                openSession = null;
            }
        }
    }
}
