package com.quorvel.bridge.client;

import java.io.ByteArrayInputStream;
import java.io.StringReader;
import javax.xml.stream.XMLInputFactory;
import javax.xml.stream.XMLStreamConstants;
import javax.xml.stream.XMLStreamException;
import javax.xml.stream.XMLStreamReader;

/**
 * Walks the tags of one compact result text with the JDK's streaming XML reader. The decoders keep their own stack of
 * open elements, so the depth of a result is bounded only by memory.
 */
final class ResultReader implements AutoCloseable {
    static final int START = XMLStreamConstants.START_ELEMENT;
    static final int END = XMLStreamConstants.END_ELEMENT;
    static final int DONE = XMLStreamConstants.END_DOCUMENT;

    private static final XMLInputFactory FACTORY = newFactory();

    private final XMLStreamReader reader;
    private final String operation;

    private ResultReader(XMLStreamReader reader, String operation) {
        this.reader = reader;
        this.operation = operation;
    }

    /** Results from a byte-array call of the bridge, in UTF-8. */
    static ResultReader of(byte[] xml, String operation) {
        try {
            return new ResultReader(FACTORY.createXMLStreamReader(new ByteArrayInputStream(xml), "UTF-8"), operation);
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    /** Results from a text call of the bridge. */
    static ResultReader of(String xml, String operation) {
        try {
            return new ResultReader(FACTORY.createXMLStreamReader(new StringReader(xml)), operation);
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
        try {
            int event = reader.next();
            if (event == END) {
                return "";
            }
            String first = isText(event) ? chunk() : null;
            event = reader.next();
            if (event == END && first != null) {
                return first;
            }
            // Texts split by entity references or CDATA sections arrive in pieces.
            StringBuilder text = new StringBuilder(first == null ? "" : first);
            for (; event != END; event = reader.next()) {
                if (isText(event)) {
                    text.append(reader.getTextCharacters(), reader.getTextStart(), reader.getTextLength());
                } else if (event == START || event == DONE) {
                    throw unexpected();
                }
            }
            return text.toString();
        } catch (XMLStreamException e) {
            throw malformed(operation, e);
        }
    }

    /** The element's text as a flag: "true" is true, anything else false. */
    boolean flag() {
        return "true".equals(text());
    }

    /** The text of the element as a decimal number. */
    int number() {
        return parse(text());
    }

    /** The text of the element as a decimal number, or {@code absent} when the element is empty. */
    int optionalNumber(int absent) {
        String text = text();
        return text.isEmpty() ? absent : parse(text);
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

    private String chunk() {
        return new String(reader.getTextCharacters(), reader.getTextStart(), reader.getTextLength());
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
