package com.quorvel.bridge.client;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

/** Turns the status codes that the bridge's calls return into {@link KervException}s. */
final class StatusChecks {
    private StatusChecks() {}

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
}
