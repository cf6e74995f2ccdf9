package com.quorvel.bridge.caller;

import java.nio.file.Path;
import java.util.Optional;

/**
 * The one loader of the bridge library for the classes of this package that declare its native methods.
 *
 * <p>A program that chooses the bridge file itself (the Java client does) loads it with {@link #load(Path)} before it
 * uses {@link KERVBridge} or {@link KERVProgress}; their initialisers then keep that library. Otherwise the first of
 * them to be initialised loads the file named by the system property {@value KERVBridge#LIBRARY_PROPERTY} when it is
 * set, else {@code libKERVBridge.so} from {@code java.library.path}.
 */
public final class BridgeLibrary {
    /** The file loaded by path; null before, or when the bridge came from {@code java.library.path} by name. */
    private static Path loadedFile;
    private static boolean loaded;

    private BridgeLibrary() {}

    /**
     * Loads {@code file} as the bridge library, as {@link System#load(String)} does; loading the same file again does
     * nothing.
     *
     * @param file the bridge library file
     * @throws UnsatisfiedLinkError when the file cannot be loaded; no library counts as loaded then
     * @throws IllegalStateException when another bridge library was loaded in this process
     */
    public static synchronized void load(Path file) {
        Path absolute = file.toAbsolutePath();
        if (loaded) {
            if (absolute.equals(loadedFile)) {
                return;
            }
            throw new IllegalStateException("the bridge library " + (loadedFile == null ? "from java.library.path"
                    : loadedFile) + " is loaded already; " + absolute + " cannot be loaded beside it");
        }
        System.load(absolute.toString());
        loadedFile = absolute;
        loaded = true;
    }

    /**
     * Returns the bridge library file that was loaded by its path.
     *
     * @return the file; empty before the bridge is loaded, or when it was found on {@code java.library.path}
     */
    public static synchronized Optional<Path> loadedFile() {
        return Optional.ofNullable(loadedFile);
    }

    /** Loads the bridge for a class that declares native methods, unless it is loaded already. */
    static synchronized void loadForNatives() {
        if (loaded) {
            return;
        }
        String path = System.getProperty(KERVBridge.LIBRARY_PROPERTY);
        if (path != null && !path.isEmpty()) {
            load(Path.of(path));
        } else {
            System.loadLibrary("KERVBridge");
            loaded = true;
        }
    }
}
