package com.quorvel.bridge.client.internal;

import com.quorvel.bridge.caller.BridgeLibrary;
import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.caller.KERVProgress;
import com.quorvel.bridge.client.BuildInfo;
import com.quorvel.bridge.client.KervLoadException;
import java.io.File;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/**
 * Chooses the native bridge file for {@link BridgeLibrary} to load, and extracts the bundled analysis library.
 *
 * <p>The bridge is looked for in this order: the file named by the system property {@value #LIBRARY_PROPERTY} (when
 * it is set, that file only), {@code java.library.path}, then the copy inside the jar, extracted to the first of the
 * cache folders of {@link BundleExtractor#cacheRoots()} that takes it and from which it loads. Each candidate is loaded
 * with {@link BridgeLibrary#load}, so that {@link KERVBridge} and {@link KERVProgress} keep the file chosen. A bridge
 * of another version than {@link BuildInfo#VERSION} is refused.
 */
public final class NativeBundle {
    /** System property naming the bridge library file. */
    static final String LIBRARY_PROPERTY = KERVBridge.LIBRARY_PROPERTY;

    /** File name of the bridge library. */
    static final String BRIDGE_FILE = System.mapLibraryName("KERVBridge");

    /** File name of the bundled reference analysis library. */
    static final String ANALYSIS_FILE = "libKERV.so";

    private static final String ADVICE = "Set the system property " + LIBRARY_PROPERTY + " to the path of "
            + BRIDGE_FILE + ", or " + BundleExtractor.CACHE_PROPERTY
            + " to a writable folder on a file system that allows loading libraries.";

    private static final String OTHER_PLATFORM = "the copy inside the jar: the jar holds natives for "
            + BundleExtractor.PLATFORM + " only";

    private static final Object LOCK = new Object();
    private static boolean bridgeLoaded;
    private static KervLoadException refusedBridge;
    private static Path extractedFolder;

    private NativeBundle() {}

    /**
     * Loads the bridge once per process; later calls return at once, or throw again when a bridge was loaded but
     * refused. Safe to call from any thread.
     *
     * @throws KervLoadException when no usable bridge is found, or the bridge found is of another version
     */
    public static void loadBridge() {
        synchronized (LOCK) {
            if (bridgeLoaded) return;
            if (refusedBridge != null) throw new KervLoadException(refusedBridge.getMessage(), refusedBridge);
            Path bridge = locateAndLoad();
            String version = bridgeVersion();
            if (!BuildInfo.VERSION.equals(version)) {
                refusedBridge = new KervLoadException("The native bridge " + bridge + " is version " + version
                        + ", but this client is version " + BuildInfo.VERSION + ". Set " + LIBRARY_PROPERTY
                        + " to the bridge of version " + BuildInfo.VERSION + ", or leave it unset and keep other "
                        + "bridges off java.library.path, so that the copy inside the jar is used.", null);
                throw refusedBridge;
            }
            bridgeLoaded = true;
        }
    }

    /**
     * Extracts the bundled reference analysis library and its default configuration folder ({@code config/} beside
     * it), once per process.
     *
     * @return the extracted {@code libKERV.so}
     * @throws KervLoadException when the files cannot be extracted
     */
    public static Path bundledAnalysisLibrary() {
        synchronized (LOCK) {
            List<String> tried = new ArrayList<>();
            Path folder = extractedFolder(tried);
            if (folder == null) throw failure("the bundled analysis library " + ANALYSIS_FILE, tried);
            return folder.resolve(ANALYSIS_FILE);
        }
    }

    /** Loads the bridge from the first place that has one; returns its absolute path. */
    private static Path locateAndLoad() {
        List<String> tried = new ArrayList<>();
        String property = System.getProperty(LIBRARY_PROPERTY);
        if (property != null && !property.isEmpty()) {
            Path file = Path.of(property).toAbsolutePath();
            if (!Files.isRegularFile(file) || !Files.isReadable(file)) {
                tried.add("the system property " + LIBRARY_PROPERTY + " names " + file
                        + ", which is not a readable file (with the property set, no other place is tried)");
                throw failure("the native bridge", tried);
            }
            String error = load(file);
            if (error != null) {
                tried.add("the system property " + LIBRARY_PROPERTY + " names " + file + ", which cannot be loaded: "
                        + error + " (with the property set, no other place is tried)");
                throw failure("the native bridge", tried);
            }
            return file;
        }
        tried.add("the system property " + LIBRARY_PROPERTY + ": not set");

        String libraryPath = System.getProperty("java.library.path", "");
        for (String folder : libraryPath.split(File.pathSeparator)) {
            if (folder.isEmpty()) continue;
            Path candidate = Path.of(folder, BRIDGE_FILE).toAbsolutePath();
            if (!Files.isRegularFile(candidate)) continue;
            String error = load(candidate);
            if (error == null) return candidate;
            tried.add(candidate + " on java.library.path: " + error);
        }
        tried.add("java.library.path (" + libraryPath + "): no loadable " + BRIDGE_FILE);

        if (!isSupportedPlatform()) {
            tried.add(OTHER_PLATFORM);
            throw failure("the native bridge", tried);
        }
        for (BundleExtractor.CacheRoot root : BundleExtractor.cacheRoots()) {
            Path folder = extractTo(root, tried);
            if (folder == null) continue;
            Path bundled = folder.resolve(BRIDGE_FILE);
            String error = load(bundled);
            if (error == null) {
                extractedFolder = folder;
                return bundled;
            }
            if (MountOptions.isNoexec(folder)) {
                error = "the cache folder " + folder + " is on a file system mounted noexec, from which no library "
                        + "can be loaded (" + error + ")";
            }
            tried.add("the copy inside the jar, extracted to " + bundled + ": " + error);
        }
        throw failure("the native bridge", tried);
    }

    /** Null when loaded, else the loader's reason. */
    private static String load(Path library) {
        try {
            BridgeLibrary.load(library);
            return null;
        } catch (UnsatisfiedLinkError | IllegalStateException e) {
            return e.getMessage();
        }
    }

    private static String bridgeVersion() {
        try {
            return KERVProgress.bridgeVersion();
        } catch (LinkageError e) {
            return "unknown (it does not report one: " + e + ")";
        }
    }

    /** The extraction folder, extracting on first use; null after adding the reasons to {@code tried}. */
    private static Path extractedFolder(List<String> tried) {
        if (extractedFolder != null) return extractedFolder;
        if (!isSupportedPlatform()) {
            tried.add(OTHER_PLATFORM);
            return null;
        }
        for (BundleExtractor.CacheRoot root : BundleExtractor.cacheRoots()) {
            extractedFolder = extractTo(root, tried);
            if (extractedFolder != null) return extractedFolder;
        }
        return null;
    }

    /** Extracts the natives under {@code root}; null after adding the reason to {@code tried}. */
    private static Path extractTo(BundleExtractor.CacheRoot root, List<String> tried) {
        try {
            return BundleExtractor.extract(root);
        } catch (IOException e) {
            tried.add("the copy inside the jar, extracted under " + root.folder() + ": " + e.getMessage());
            return null;
        }
    }

    private static boolean isSupportedPlatform() {
        String os = System.getProperty("os.name", "");
        String arch = System.getProperty("os.arch", "");
        return os.equalsIgnoreCase("linux") && (arch.equals("amd64") || arch.equals("x86_64"));
    }

    private static KervLoadException failure(String what, List<String> tried) {
        StringBuilder message = new StringBuilder("Cannot load ").append(what).append(" on ")
                .append(System.getProperty("os.name")).append('/').append(System.getProperty("os.arch"))
                .append(". Tried:");
        for (String attempt : tried) message.append("\n  - ").append(attempt);
        return new KervLoadException(message.append('\n').append(ADVICE).toString(), null);
    }
}
