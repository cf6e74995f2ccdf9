package com.quorvel.bridge.lsp;

import com.fasterxml.jackson.core.JsonFactory;
import com.fasterxml.jackson.core.JsonGenerator;
import com.fasterxml.jackson.core.JsonParser;
import com.fasterxml.jackson.core.JsonToken;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.math.BigDecimal;
import java.math.BigInteger;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * JSON values as plain Java values, read and written with jackson-core: an object is a {@code Map<String, Object>}
 * in field order, an array a {@code List<Object>}, a string a {@link String}, a number a {@link Long}, a
 * {@link BigInteger} or a {@link Double}, {@code true} and {@code false} a {@link Boolean}, and {@code null} null.
 */
final class Json {
    private static final JsonFactory FACTORY = new JsonFactory();

    private Json() {}

    /**
     * Reads one JSON value that fills the whole text.
     *
     * @throws IOException when the text is not one JSON value
     */
    static Object parse(byte[] text) throws IOException {
        try (JsonParser in = FACTORY.createParser(text)) {
            JsonToken first = in.nextToken();
            if (first == null) {
                throw new IOException("the message body is empty");
            }
            Object value = value(in, first);
            if (in.nextToken() != null) {
                throw new IOException("text after the JSON value at line " + in.currentLocation().getLineNr()
                        + ", column " + in.currentLocation().getColumnNr());
            }
            return value;
        }
    }

    private static Object value(JsonParser in, JsonToken token) throws IOException {
        switch (token) {
            case START_OBJECT: {
                Map<String, Object> object = new LinkedHashMap<>();
                while (in.nextToken() == JsonToken.FIELD_NAME) {
                    String name = in.currentName();
                    object.put(name, value(in, in.nextToken()));
                }
                return object;
            }
            case START_ARRAY: {
                List<Object> array = new ArrayList<>();
                for (JsonToken next = in.nextToken(); next != JsonToken.END_ARRAY; next = in.nextToken()) {
                    array.add(value(in, next));
                }
                return array;
            }
            case VALUE_STRING:
                return in.getText();
            case VALUE_NUMBER_INT:
                return in.getNumberType() == JsonParser.NumberType.BIG_INTEGER ? in.getBigIntegerValue()
                        : (Object) in.getLongValue();
            case VALUE_NUMBER_FLOAT:
                return in.getDoubleValue();
            case VALUE_TRUE:
                return Boolean.TRUE;
            case VALUE_FALSE:
                return Boolean.FALSE;
            case VALUE_NULL:
                return null;
            default:
                throw new IOException("unexpected " + token + " at line " + in.currentLocation().getLineNr());
        }
    }

    /** Writes a value made of the kinds this class reads (any {@link Number}, and {@link Integer} too). */
    static byte[] write(Object value) {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        try (JsonGenerator out = FACTORY.createGenerator(bytes)) {
            write(out, value);
        } catch (IOException e) {
            throw new UncheckedIOException(e);  // no I/O fails on a byte array
        }
        return bytes.toByteArray();
    }

    private static void write(JsonGenerator out, Object value) throws IOException {
        if (value == null) {
            out.writeNull();
        } else if (value instanceof Map<?, ?> object) {
            out.writeStartObject();
            for (Map.Entry<?, ?> field : object.entrySet()) {
                out.writeFieldName((String) field.getKey());
                write(out, field.getValue());
            }
            out.writeEndObject();
        } else if (value instanceof List<?> array) {
            out.writeStartArray();
            for (Object item : array) {
                write(out, item);
            }
            out.writeEndArray();
        } else if (value instanceof String text) {
            out.writeString(text);
        } else if (value instanceof Boolean truth) {
            out.writeBoolean(truth);
        } else if (value instanceof Integer || value instanceof Long) {
            out.writeNumber(((Number) value).longValue());
        } else if (value instanceof BigInteger big) {
            out.writeNumber(big);
        } else if (value instanceof BigDecimal decimal) {
            out.writeNumber(decimal);
        } else if (value instanceof Number number) {
            out.writeNumber(number.doubleValue());
        } else {
            throw new IllegalArgumentException("not a JSON value: " + value.getClass().getName());
        }
    }

    // ---- Reading fields of parsed values --------------------------------------------------------------------

    /** The value as an object; empty when it is none. */
    @SuppressWarnings("unchecked")
    static Map<String, Object> object(Object value) {
        return value instanceof Map<?, ?> ? (Map<String, Object>) value : Map.of();
    }

    /** The value as an array; empty when it is none. */
    @SuppressWarnings("unchecked")
    static List<Object> array(Object value) {
        return value instanceof List<?> ? (List<Object>) value : List.of();
    }

    /** A field of an object reached through the given names; null when one is missing. */
    static Object at(Object value, String... names) {
        Object current = value;
        for (String name : names) {
            if (!(current instanceof Map<?, ?> object)) {
                return null;
            }
            current = object.get(name);
        }
        return current;
    }

    /** A text field; null when missing or not a text. */
    static String text(Object value, String... names) {
        return at(value, names) instanceof String text ? text : null;
    }

    /** An integer field; {@code fallback} when missing or not an integer within {@code int}. */
    static int integer(Object value, int fallback, String... names) {
        Object found = at(value, names);
        if (found instanceof Long number && number >= Integer.MIN_VALUE && number <= Integer.MAX_VALUE) {
            return number.intValue();
        }
        return fallback;
    }

    /** Whether a field is {@code true}. */
    static boolean isTrue(Object value, String... names) {
        return Boolean.TRUE.equals(at(value, names));
    }

    /** A new object from name-value pairs, in order; a pair whose value is null is left out. */
    static Map<String, Object> fields(Object... namesAndValues) {
        Map<String, Object> object = new LinkedHashMap<>();
        for (int i = 0; i < namesAndValues.length; i += 2) {
            if (namesAndValues[i + 1] != null) {
                object.put((String) namesAndValues[i], namesAndValues[i + 1]);
            }
        }
        return object;
    }
}
