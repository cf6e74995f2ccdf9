package com.quorvel.bridge.client.internal;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.List;

/** Tells whether a folder lies on a file system mounted {@code noexec}, from the kernel's mount table. */
final class MountOptions {
    private static final Path MOUNT_INFO = Path.of("/proc/self/mountinfo");

    private MountOptions() {}

    /** True when {@code folder} is on a {@code noexec} mount; false also when the mount table cannot be read. */
    static boolean isNoexec(Path folder) {
        try {
            return isNoexec(folder.toRealPath(), Files.readAllLines(MOUNT_INFO));
        } catch (IOException | SecurityException e) {
            return false;
        }
    }

    /**
     * Decides from the lines of a mountinfo table: the mount whose mount point is the longest prefix of
     * {@code realFolder} (the last such line, as later mounts hide earlier ones) decides. Field 5 of a line is the
     * mount point (spaces written as {@code \040}), field 6 the per-mount options.
     */
    static boolean isNoexec(Path realFolder, List<String> mountInfo) {
        int longest = -1;
        boolean noexec = false;
        for (String line : mountInfo) {
            String[] fields = line.split(" ");
            if (fields.length < 6) continue;
            Path mountPoint = Path.of(fields[4].replace("\\040", " "));
            int depth = mountPoint.getNameCount();
            if (realFolder.startsWith(mountPoint) && depth >= longest) {
                longest = depth;
                noexec = Arrays.asList(fields[5].split(",")).contains("noexec");
            }
        }
        return noexec;
    }
}
