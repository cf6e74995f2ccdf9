package com.quorvel.bridge.cli;

import java.io.FileNotFoundException;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.AccessDeniedException;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.FileSystemException;
import java.nio.file.NoSuchFileException;
import java.nio.file.NotDirectoryException;

/** The system's reason for a failed file operation, in the words of the C library ("No such file or directory"). */
final class SystemReason {
    private SystemReason() {}

    static String of(Throwable failure) {
        Throwable e = failure instanceof UncheckedIOException && failure.getCause() != null ? failure.getCause()
                : failure;
        if (e instanceof FileSystemException f && f.getReason() != null) {
            return f.getReason();
        }
        if (e instanceof NoSuchFileException) {
            return "No such file or directory";
        }
        if (e instanceof AccessDeniedException) {
            return "Permission denied";
        }
        if (e instanceof NotDirectoryException) {
            return "Not a directory";
        }
        if (e instanceof FileAlreadyExistsException) {
            return "File exists";
        }
        String message = String.valueOf(e.getMessage());
        // java.io gives the reason in parentheses after the path: "x.sarif (Permission denied)"
        if (e instanceof FileNotFoundException && message.endsWith(")") && message.contains(" (")) {
            return message.substring(message.lastIndexOf(" (") + 2, message.length() - 1);
        }
        return message;
    }

    /** The message of a failed file operation with the system's reason, which Java's messages often leave out. */
    static String describe(IOException failure) {
        return describe(failure.getMessage(), failure);
    }

    static String describe(UncheckedIOException failure) {
        IOException cause = failure.getCause();
        String message = failure.getMessage();
        return describe(message == null || message.equals(String.valueOf(cause)) ? cause.getMessage() : message, cause);
    }

    private static String describe(String message, IOException cause) {
        String reason = of(cause);
        return message == null ? reason : message.contains(reason) ? message : message + ": " + reason;
    }
}
