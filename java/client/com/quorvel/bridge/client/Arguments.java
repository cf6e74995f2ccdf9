package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Objects;

/** Checks of the arguments of the client's methods, made before any bridge call. */
final class Arguments {
    private Arguments() {}

    /** A text the bridge can carry: not null, without U+0000. */
    static String text(String value, String name) {
        Objects.requireNonNull(value, name);
        if (value.indexOf('\0') >= 0) {
            throw new IllegalArgumentException(name + " holds the character U+0000");
        }
        return value;
    }

    /** A text that is also not empty. */
    static String name(String value, String name) {
        if (text(value, name).isEmpty()) {
            throw new IllegalArgumentException(name + " is empty");
        }
        return value;
    }

    /** A project's name: the name of a folder, so not blank, without '/', and neither "." nor "..". */
    static String projectName(String value, String name) {
        text(value, name);
        if (value.isBlank()) {
            throw new IllegalArgumentException(name + " is blank: '" + value + "'");
        }
        if (value.indexOf('/') >= 0) {
            throw new IllegalArgumentException(name + " holds the path separator '/': " + value);
        }
        if (value.equals(".") || value.equals("..")) {
            throw new IllegalArgumentException(name + " is '" + value + "', which names a folder, not a project");
        }
        return value;
    }

    /** A path as the bridge receives it: absolute and normalised. */
    static String path(Path path, String name) {
        Objects.requireNonNull(path, name);
        return text(path.toAbsolutePath().normalize().toString(), name);
    }

    /** The path of a file that exists, is a regular file and can be read. */
    static String readableFile(Path path, String name) {
        String absolute = path(path, name);
        if (!Files.isRegularFile(path) || !Files.isReadable(path)) {
            throw new IllegalArgumentException(name + " is not a readable regular file: " + absolute);
        }
        return absolute;
    }

    /** A list entry: a text without the bridge's item separator. */
    static String item(String value, String name) {
        if (text(value, name).indexOf(KERVBridge.ITEM_SEPARATOR) >= 0) {
            throw new IllegalArgumentException(name + " holds the item separator U+0019: " + value);
        }
        return value;
    }

    /** The entries joined for the bridge, each checked. */
    static String items(List<String> values, String name) {
        Objects.requireNonNull(values, name);
        for (String value : values) {
            item(value, name);
        }
        return KERVBridge.joinItems(values.toArray(String[]::new));
    }
}
