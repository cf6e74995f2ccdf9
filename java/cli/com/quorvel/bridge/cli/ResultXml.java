package com.quorvel.bridge.cli;

import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import javax.xml.parsers.DocumentBuilderFactory;
import javax.xml.parsers.ParserConfigurationException;
import org.w3c.dom.Element;
import org.w3c.dom.Node;
import org.xml.sax.SAXException;

/** Reads the bridge's compact result XML: diagnostics and rule groups. */
final class ResultXml {
    private ResultXml() {}

    /** One diagnostic at its primary location. */
    static final class Diagnostic {
        final String ruleId;
        final String text;
        final String file;
        final int line;
        final int column;
        final boolean active;

        Diagnostic(String ruleId, String text, String file, int line, int column, boolean active) {
            this.ruleId = ruleId;
            this.text = text;
            this.file = file;
            this.line = line;
            this.column = column;
            this.active = active;
        }
    }

    /** A rule of the analysis library: its group (the severity) and whether it is switched on. */
    static final class Rule {
        final String id;
        final String group;
        final boolean active;
        final String text;

        Rule(String id, String group, boolean active, String text) {
            this.id = id;
            this.group = group;
            this.active = active;
            this.text = text;
        }
    }

    static Element parse(byte[] xml) throws IOException {
        try {
            DocumentBuilderFactory factory = DocumentBuilderFactory.newInstance();
            factory.setFeature("http://apache.org/xml/features/disallow-doctype-decl", true);
            return factory.newDocumentBuilder().parse(new ByteArrayInputStream(xml)).getDocumentElement();
        } catch (ParserConfigurationException | SAXException e) {
            throw new IOException("result XML cannot be read: " + e.getMessage(), e);
        }
    }

    /** The top-level diagnostics of a "VQE" element; an empty text has none. */
    static List<Diagnostic> diagnostics(byte[] xml) throws IOException {
        List<Diagnostic> list = new ArrayList<>();
        if (xml.length == 0) {
            return list;
        }
        for (Element vqd : children(parse(xml), "VQD")) {
            Element message = child(vqd, "VQM");
            List<Element> locations = children(vqd, "LI");
            Element first = locations.isEmpty() ? null : locations.get(0);
            list.add(new Diagnostic(text(message, "UMID"), text(message, "MT"), first == null ? "" : text(first, "F"),
                    first == null ? 0 : Integer.parseInt(text(first, "L")),
                    first == null ? 0 : Integer.parseInt(text(first, "C")), "0".equals(text(vqd, "SS"))));
        }
        return list;
    }

    /** Every rule of a "VQRuleGrouping" element, by id, in the library's order. */
    static Map<String, Rule> rules(byte[] xml) throws IOException {
        Map<String, Rule> rules = new LinkedHashMap<>();
        if (xml.length == 0) {
            return rules;
        }
        for (Element entry : children(parse(xml), "VQRuleGroupEntry")) {
            String group = text(entry, "RuleGroupName");
            for (Element rule : children(entry, "Rule")) {
                String id = text(rule, "RuleId");
                rules.put(id, new Rule(id, group, "1".equals(text(rule, "IsActive")), text(rule, "RuleText")));
            }
        }
        return rules;
    }

    static List<Element> children(Element parent, String tag) {
        List<Element> found = new ArrayList<>();
        for (Node node = parent.getFirstChild(); node != null; node = node.getNextSibling()) {
            if (node instanceof Element && ((Element) node).getTagName().equals(tag)) {
                found.add((Element) node);
            }
        }
        return found;
    }

    static Element child(Element parent, String tag) throws IOException {
        List<Element> found = children(parent, tag);
        if (found.isEmpty()) {
            throw new IOException("result XML: <" + parent.getTagName() + "> has no <" + tag + ">");
        }
        return found.get(0);
    }

    static String text(Element parent, String tag) throws IOException {
        return child(parent, tag).getTextContent();
    }
}
