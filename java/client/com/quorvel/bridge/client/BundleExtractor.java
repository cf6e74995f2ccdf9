package com.quorvel.bridge.client;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.security.DigestInputStream;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.HexFormat;
import java.util.List;

/**
 * Extracts the natives packed in the jar under {@value #RESOURCE_FOLDER} to a per-user cache folder.
 *
 * <p>The jar lists every packed file with its SHA-256 checksum in {@value #CHECKSUM_LIST} ({@code <hex>  <path>}
 * per line). Files go to {@code <cache root>/<version>-<checksum>/}, where the checksum is taken over that list, so
 * every build has a folder of its own. A file already there is reused when its checksum matches and replaced
 * otherwise. A file is written to a temporary file in its target folder, checked, and renamed into place, so
 * processes that extract at the same time never see a partial file.
 */
final class BundleExtractor {
    /** Platform of the packed natives. */
    static final String PLATFORM = "linux-x86_64";

    /** Folder of the packed natives inside the jar. */
    static final String RESOURCE_FOLDER = "native/" + PLATFORM + "/";

    /** Name of the checksum list inside {@link #RESOURCE_FOLDER}. */
    static final String CHECKSUM_LIST = "SHA256SUMS";

    /** System property naming the cache root to use instead of {@code $XDG_CACHE_HOME/kerv}. */
    static final String CACHE_PROPERTY = "com.quorvel.bridge.cache";

    private record Entry(String sha256, String path) {}

    private BundleExtractor() {}

    /**
     * The cache root: the folder named by {@value #CACHE_PROPERTY}, else {@code $XDG_CACHE_HOME/kerv} when that
     * variable holds an absolute path, else {@code ~/.cache/kerv}.
     */
    static Path cacheRoot() {
        String override = System.getProperty(CACHE_PROPERTY);
        if (override != null && !override.isEmpty()) return Path.of(override).toAbsolutePath();
        String xdg = System.getenv("XDG_CACHE_HOME");
        if (xdg != null && !xdg.isEmpty() && Path.of(xdg).isAbsolute()) return Path.of(xdg, "kerv");
        return Path.of(System.getProperty("user.home"), ".cache", "kerv");
    }

    /**
     * Extracts every packed file, or checks the copies already there.
     *
     * @return the folder holding the extracted files
     * @throws IOException with a message fit for the user when a file cannot be read, written or verified
     */
    static Path extract() throws IOException {
        byte[] list = readChecksumList();
        String bundleChecksum = HexFormat.of().formatHex(sha256().digest(list)).substring(0, 16);
        Path folder = cacheRoot().resolve(BuildInfo.VERSION + "-" + bundleChecksum);
        for (Entry entry : parse(list)) install(folder, entry);
        return folder;
    }

    private static byte[] readChecksumList() throws IOException {
        try (InputStream in = open(CHECKSUM_LIST)) {
            return in.readAllBytes();
        }
    }

    private static List<Entry> parse(byte[] list) throws IOException {
        List<Entry> entries = new ArrayList<>();
        for (String line : new String(list, StandardCharsets.UTF_8).split("\n")) {
            if (line.isBlank()) continue;
            String[] fields = line.split(" {2}", 2);
            if (fields.length != 2 || fields[0].length() != 64 || fields[1].contains("..")) {
                throw new IOException("the jar's " + RESOURCE_FOLDER + CHECKSUM_LIST + " has a bad line: " + line);
            }
            entries.add(new Entry(fields[0], fields[1]));
        }
        return entries;
    }

    private static void install(Path folder, Entry entry) throws IOException {
        Path target = folder.resolve(entry.path());
        if (Files.isRegularFile(target) && entry.sha256().equals(checksumOf(target))) return;
        Path parent = target.getParent();
        try {
            Files.createDirectories(parent);
        } catch (IOException e) {
            throw new IOException("cannot create the cache folder " + parent + " (" + e + ")", e);
        }
        Path temporary;
        try {
            temporary = Files.createTempFile(parent, "." + target.getFileName() + "-", ".part");
        } catch (IOException e) {
            throw new IOException("cannot write to the cache folder " + parent + " (" + e + ")", e);
        }
        try {
            MessageDigest digest = sha256();
            try (InputStream in = new DigestInputStream(open(entry.path()), digest);
                 OutputStream out = Files.newOutputStream(temporary)) {
                in.transferTo(out);
            }
            if (!entry.sha256().equals(HexFormat.of().formatHex(digest.digest()))) {
                throw new IOException("the jar's copy of " + entry.path() + " does not match its checksum");
            }
            Files.move(temporary, target, StandardCopyOption.ATOMIC_MOVE, StandardCopyOption.REPLACE_EXISTING);
        } finally {
            Files.deleteIfExists(temporary);
        }
    }

    private static String checksumOf(Path file) throws IOException {
        MessageDigest digest = sha256();
        try (InputStream in = new DigestInputStream(Files.newInputStream(file), digest)) {
            in.transferTo(OutputStream.nullOutputStream());
        } catch (NoSuchFileException e) {
            return "";  // replaced or removed meanwhile: extract again
        }
        return HexFormat.of().formatHex(digest.digest());
    }

    private static InputStream open(String path) throws IOException {
        InputStream in = BundleExtractor.class.getClassLoader().getResourceAsStream(RESOURCE_FOLDER + path);
        if (in == null) throw new IOException("the jar holds no " + RESOURCE_FOLDER + path);
        return in;
    }

    private static MessageDigest sha256() {
        try {
            return MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException("every JDK provides SHA-256", e);
        }
    }
}
