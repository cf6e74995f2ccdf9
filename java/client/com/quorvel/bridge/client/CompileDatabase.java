package com.quorvel.bridge.client;

import com.fasterxml.jackson.core.JsonFactory;
import com.fasterxml.jackson.core.JsonParser;
import com.fasterxml.jackson.core.JsonProcessingException;
import com.fasterxml.jackson.core.JsonToken;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * The files of a compilation database ({@code compile_commands.json}) with their settings.
 *
 * @param commands one per file, in the database's order; for a file with several entries, the first
 * @param conflicting how many entries were left out because an earlier entry for the same file has other settings
 */
public record CompileDatabase(List<CompileCommand> commands, int conflicting) {
    private static final JsonFactory JSON = new JsonFactory();

    /**
     * Creates a database; the list is copied.
     *
     * @param commands the files with their settings
     * @param conflicting how many entries were left out
     */
    public CompileDatabase {
        commands = List.copyOf(commands);
    }

    /**
     * Reads a compilation database: a JSON array of entries, each with "directory", "file" and either "arguments" (a
     * list of words) or "command" (one text split like a shell command without expansion). Relative paths are taken
     * from the entry's directory, a relative directory from the database's folder.
     *
     * @param database the file
     * @return its files with their settings
     * @throws IllegalArgumentException when the file is not such a database; the message says where
     * @throws UncheckedIOException when it cannot be read
     */
    public static CompileDatabase read(Path database) {
        Path base = database.toAbsolutePath().normalize().getParent();
        Map<Path, CompileCommand> byFile = new LinkedHashMap<>();
        int conflicting = 0;
        try (JsonParser in = JSON.createParser(database.toFile())) {
            expect(in, in.nextToken() == JsonToken.START_ARRAY, "an array of entries");
            while (in.nextToken() == JsonToken.START_OBJECT) {
                CompileCommand command = entry(in, base);
                CompileCommand first = byFile.putIfAbsent(command.file(), command);
                if (first != null && !first.equals(command)) {
                    conflicting++;
                }
            }
            expect(in, in.currentToken() == JsonToken.END_ARRAY, "an entry (an object)");
        } catch (JsonProcessingException e) {
            throw new IllegalArgumentException(database + " is not valid JSON: " + e.getOriginalMessage() + " at line "
                    + e.getLocation().getLineNr() + ", column " + e.getLocation().getColumnNr(), e);
        } catch (IOException e) {
            throw new UncheckedIOException("cannot read " + database, e);
        }
        return new CompileDatabase(new ArrayList<>(byFile.values()), conflicting);
    }

    private static CompileCommand entry(JsonParser in, Path base) throws IOException {
        String directory = null;
        String file = null;
        List<String> arguments = null;
        String command = null;
        while (in.nextToken() == JsonToken.FIELD_NAME) {
            String field = in.currentName();
            JsonToken value = in.nextToken();
            switch (field) {
                case "directory" -> directory = text(in, value, field);
                case "file" -> file = text(in, value, field);
                case "command" -> command = text(in, value, field);
                case "arguments" -> {
                    expect(in, value == JsonToken.START_ARRAY, "a list of words for \"arguments\"");
                    arguments = new ArrayList<>();
                    while (in.nextToken() != JsonToken.END_ARRAY) {
                        arguments.add(text(in, in.currentToken(), field));
                    }
                }
                default -> in.skipChildren();
            }
        }
        expect(in, directory != null && file != null, "\"directory\" and \"file\" in every entry");
        expect(in, arguments != null || command != null, "\"arguments\" or \"command\" in every entry");
        try {
            return CompileCommand.of(base.resolve(directory), file,
                    arguments != null ? arguments : CommandWords.split(command));
        } catch (IllegalArgumentException e) {
            throw new IllegalArgumentException(e.getMessage() + " (entry ending at line "
                    + in.currentLocation().getLineNr() + ")", e);
        }
    }

    private static String text(JsonParser in, JsonToken token, String field) throws IOException {
        expect(in, token == JsonToken.VALUE_STRING, "a text for \"" + field + "\"");
        return in.getText();
    }

    private static void expect(JsonParser in, boolean holds, String what) throws JsonProcessingException {
        if (!holds) {
            throw new JsonProcessingException("expected " + what, in.currentLocation()) {
                private static final long serialVersionUID = 1L;
            };
        }
    }
}
