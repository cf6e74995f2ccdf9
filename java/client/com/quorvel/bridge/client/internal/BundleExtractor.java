package com.quorvel.bridge.client.internal;

import com.quorvel.bridge.client.BuildInfo;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFileAttributes;
import java.nio.file.attribute.PosixFilePermission;
import java.nio.file.attribute.PosixFilePermissions;
import java.security.DigestInputStream;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.HexFormat;
import java.util.List;
import java.util.Set;

/**
 * Extracts the natives packed in the jar under {@value #RESOURCE_FOLDER} to a per-user cache folder.
 *
 * <p>The places, in the order they are tried ({@link #cacheRoots()}): the folder named by {@value #CACHE_PROPERTY}
 * when it is set (that folder only); else the cache folder under the home folder, then a folder of the user's own under
 * {@code java.io.tmpdir}, {@code kerv-<uid>}, which must be a real folder owned by the user and is kept closed to
 * everyone else (mode 0700), since other users can write to the temporary folder.
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

    /**
     * A folder the natives may be extracted under.
     *
     * @param folder the cache root
     * @param shared whether the folder lies in a place that other users can write to, and so must be made private
     */
    record CacheRoot(Path folder, boolean shared) {}

    private static final Set<PosixFilePermission> OWNER_ONLY = PosixFilePermissions.fromString("rwx------");

    private BundleExtractor() {}

    /**
     * The cache roots in the order they are tried: the folder named by {@value #CACHE_PROPERTY} alone when it is set;
     * else {@code $XDG_CACHE_HOME/kerv} when that variable holds an absolute path, or {@code ~/.cache/kerv}, and then
     * {@code <java.io.tmpdir>/kerv-<uid>}.
     */
    static List<CacheRoot> cacheRoots() {
        String override = System.getProperty(CACHE_PROPERTY);
        if (override != null && !override.isEmpty()) {
            return List.of(new CacheRoot(Path.of(override).toAbsolutePath(), false));
        }
        String xdg = System.getenv("XDG_CACHE_HOME");
        Path home = xdg != null && !xdg.isEmpty() && Path.of(xdg).isAbsolute() ? Path.of(xdg, "kerv")
                : Path.of(System.getProperty("user.home"), ".cache", "kerv").toAbsolutePath();
        Path temporary = Path.of(System.getProperty("java.io.tmpdir"), "kerv-" + userId()).toAbsolutePath();
        return List.of(new CacheRoot(home, false), new CacheRoot(temporary, true));
    }

    /**
     * Extracts every packed file under {@code root}, or checks the copies already there.
     *
     * @param root where to extract
     * @return the folder holding the extracted files
     * @throws IOException with a message fit for the user when a file cannot be read, written or verified, or a shared
     *     root cannot be made private
     */
    static Path extract(CacheRoot root) throws IOException {
        byte[] list = readChecksumList();
        String bundleChecksum = HexFormat.of().formatHex(sha256().digest(list)).substring(0, 16);
        if (root.shared()) makePrivate(root.folder());
        Path folder = root.folder().resolve(BuildInfo.VERSION + "-" + bundleChecksum);
        for (Entry entry : parse(list)) install(folder, entry);
        return folder;
    }

    /**
     * Creates {@code folder} closed to other users, or checks that the one there is a folder (not a link) of this
     * user, and closes it. Another process of the user may create it at the same moment: both then use it.
     */
    private static void makePrivate(Path folder) throws IOException {
        try {
            Files.createDirectory(folder, PosixFilePermissions.asFileAttribute(OWNER_ONLY));
        } catch (FileAlreadyExistsException e) {
            // made earlier, or by another process just now: checked below
        } catch (IOException e) {
            throw new IOException("cannot create the cache folder " + folder + " (" + e + ")", e);
        }
        PosixFileAttributes attributes = Files.readAttributes(folder, PosixFileAttributes.class,
                LinkOption.NOFOLLOW_LINKS);
        int owner = (Integer) Files.getAttribute(folder, "unix:uid", LinkOption.NOFOLLOW_LINKS);
        if (!attributes.isDirectory() || owner != userId()) {
            throw new IOException("the cache folder " + folder + " is not a folder of this user (uid " + userId()
                    + "), so it is not used");
        }
        if (!attributes.permissions().equals(OWNER_ONLY)) Files.setPosixFilePermissions(folder, OWNER_ONLY);
    }

    /** The user id this process runs as (the owner of its {@code /proc/self}). */
    private static int userId() {
        try {
            return (Integer) Files.getAttribute(Path.of("/proc/self"), "unix:uid");
        } catch (IOException | UnsupportedOperationException e) {
            throw new IllegalStateException("the user id cannot be read from /proc/self", e);
        }
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
