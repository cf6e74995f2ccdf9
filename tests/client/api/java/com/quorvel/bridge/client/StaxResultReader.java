package com.quorvel.bridge.client;

import java.io.ByteArrayInputStream;
import java.io.StringReader;
import java.util.Arrays;
import javax.xml.stream.XMLInputFactory;
import javax.xml.stream.XMLStreamConstants;
import javax.xml.stream.XMLStreamException;
import javax.xml.stream.XMLStreamReader;

/**
 * Walks the tags of one compact result text with the JDK's streaming XML reader. The decoders keep their own stack of
 * open elements, so the depth of a result is bounded only by memory.
 */
final class StaxResultReader implements AutoCloseable {
    static final int START = XMLStreamConstants.START_ELEMENT;
    static final int END = XMLStreamConstants.END_ELEMENT;
    static final int DONE = XMLStreamConstants.END_DOCUMENT;

    private static final XMLInputFactory FACTORY = newFactory();

    /** Texts up to this length are shared between the records of one result. */
    private static final int SHARED_LENGTH = 64;
    private static final long NOT_A_NUMBER = Long.MIN_VALUE;

    private final XMLStreamReader reader;
    private final String operation;
    private char[] scratch = new char[256];
    private int scratchLength;
    private final String[] recent = new String[1024];

    private StaxResultReader(XMLStreamReader reader, String operation) {
        this.reader = reader;
        this.operation = operation;
    }

    /** Results from a byte-array call of the bridge, in UTF-8, with its verbatim values read as written. */
    static StaxResultReader of(byte[] xml, String operation) {
        try {
            return new StaxResultReader(
                    FACTORY.createXMLStreamReader(new ByteArrayInputStream(StaxVerbatimText.escaped(xml)), "UTF-8"),
                    operation);
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    /** Results from a text call of the bridge. */
    static StaxResultReader of(String xml, String operation) {
        try {
            return new StaxResultReader(FACTORY.createXMLStreamReader(new StringReader(xml)), operation);
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    private static XMLInputFactory newFactory() {
        XMLInputFactory factory = XMLInputFactory.newDefaultFactory();
        factory.setProperty(XMLInputFactory.IS_NAMESPACE_AWARE, false);
        factory.setProperty(XMLInputFactory.IS_COALESCING, false);
        factory.setProperty(XMLInputFactory.SUPPORT_DTD, false);
        factory.setProperty(XMLInputFactory.IS_SUPPORTING_EXTERNAL_ENTITIES, false);
        factory.setProperty(XMLInputFactory.IS_VALIDATING, false);
        // Trees of results nest as deep as the analysed code does; JDK 24 and later stop at 100 levels by default.
        // The text comes from the bridge, without DTD or entities, and is read without recursion.
        factory.setProperty("jdk.xml.maxElementDepth", 0);
        return factory;
    }

    /** Moves to the next start or end tag, or to the end of the text; returns START, END or DONE. */
    int next() {
        try {
            while (true) {
                int event = reader.next();
                if (event == START || event == END || event == DONE) {
                    return event;
                }
            }
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    /** The name of the tag at which the reader stands. */
    String name() {
        return reader.getLocalName();
    }

    /** The text of the element whose start tag the reader stands at; leaves the reader at its end tag. */
    String text() {
        readText();
        return sharedText();
    }

    /** The element's text as a flag: "true" is true, anything else false. */
    boolean flag() {
        readText();
        return scratchLength == 4 && scratch[0] == 't' && scratch[1] == 'r' && scratch[2] == 'u' && scratch[3] == 'e';
    }

    /** The text of the element as a decimal number. */
    int number() {
        readText();
        return scratchInt();
    }

    /** The text of the element as a decimal number, or {@code absent} when the element is empty. */
    int optionalNumber(int absent) {
        readText();
        return scratchLength == 0 ? absent : scratchInt();
    }

    private int scratchInt() {
        long value = scratchNumber();
        return value == NOT_A_NUMBER ? parse(new String(scratch, 0, scratchLength)) : (int) value;
    }

    /**
     * Collects the text of the element whose start tag the reader stands at into the scratch buffer, whatever pieces
     * the parser delivers it in (entity references, CDATA sections and buffer boundaries split texts), and leaves the
     * reader at the element's end tag.
     */
    private void readText() {
        scratchLength = 0;
        try {
            for (int event = reader.next(); event != END; event = reader.next()) {
                if (isText(event)) {
                    int length = reader.getTextLength();
                    if (scratchLength + length > scratch.length) {
                        scratch = Arrays.copyOf(scratch, Math.max(2 * scratch.length, scratchLength + length));
                    }
                    System.arraycopy(reader.getTextCharacters(), reader.getTextStart(), scratch, scratchLength, length);
                    scratchLength += length;
                } else if (event == START || event == DONE) {
                    throw unexpected();
                }
            }
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    /**
     * The scratch text as a string. Short texts repeat across a result (identifiers, files, producers, help
     * locations): each comes back as one shared string, which spares large results much of their memory.
     */
    private String sharedText() {
        int length = scratchLength;
        if (length == 0) {
            return "";
        }
        if (length > SHARED_LENGTH) {
            return new String(scratch, 0, length);
        }
        int hash = 0;
        for (int i = 0; i < length; i++) {
            hash = 31 * hash + scratch[i];
        }
        int slot = (hash ^ (hash >>> 16)) & (recent.length - 1);
        String known = recent[slot];
        if (known != null && known.length() == length && isScratch(known)) {
            return known;
        }
        String text = new String(scratch, 0, length);
        recent[slot] = text;
        return text;
    }

    private boolean isScratch(String text) {
        for (int i = 0; i < scratchLength; i++) {
            if (text.charAt(i) != scratch[i]) {
                return false;
            }
        }
        return true;
    }

    /** The int that the scratch text spells in decimal, or NOT_A_NUMBER. */
    private long scratchNumber() {
        int length = scratchLength;
        int at = length > 0 && scratch[0] == '-' ? 1 : 0;
        if (at == length || length - at > 10) {
            return NOT_A_NUMBER;
        }
        long value = 0;
        for (; at < length; at++) {
            char c = scratch[at];
            if (c < '0' || c > '9') {
                return NOT_A_NUMBER;
            }
            value = value * 10 + (c - '0');
        }
        value = scratch[0] == '-' ? -value : value;
        return value < Integer.MIN_VALUE || value > Integer.MAX_VALUE ? NOT_A_NUMBER : value;
    }

    private int parse(String text) {
        try {
            return Integer.parseInt(text);
        } catch (NumberFormatException e) {
            throw new KervException(operation, KervStatus.BRIDGE_FAILURE.code(),
                    "result of " + operation + " has <" + name() + "> that is not a number: " + text, e);
        }
    }

    private static boolean isText(int event) {
        return event == XMLStreamConstants.CHARACTERS || event == XMLStreamConstants.CDATA
                || event == XMLStreamConstants.SPACE;
    }

    /** Skips the element whose start tag the reader stands at, with everything in it. */
    void skip() {
        int depth = 1;
        while (depth > 0) {
            int event = next();
            if (event == DONE) {
                return;
            }
            depth += event == START ? 1 : -1;
        }
    }

    /** The failure for a tag that cannot stand where it stands. */
    KervException unexpected() {
        return new KervException(operation, KervStatus.BRIDGE_FAILURE.code(),
                "result of " + operation + " has <" + name() + "> where it cannot stand", null);
    }

    @Override
    public void close() {
        try {
            reader.close();
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    private static KervException malformed(String operation, XMLStreamException e) {
        return new KervException(operation, KervStatus.BRIDGE_FAILURE.code(),
                "result of " + operation + " is not well-formed XML: " + e.getMessage(), e);
    }
}
