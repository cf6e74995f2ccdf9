package com.quorvel.bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertInstanceOf;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.RuleGroup;
import com.quorvel.bridge.client.StaxResultDecoder;
import java.io.OutputStream;
import java.io.PrintStream;
import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.EnumMap;
import java.util.HexFormat;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Random;
import java.util.function.Supplier;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Stream;
import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

/**
 * The client's result reader against the bridge's writers and the streaming-XML reference decoder: the texts the
 * writers make of records built from their fuzz corpus and from seeded random input decode to the records the
 * reference decodes, or both refuse them; the same texts damaged at random are refused wherever the reference refuses
 * them; every refusal names its byte offset, and typical faults are refused at theirs with what was expected there.
 */
class ReaderAgreementTest {
    private static final Pattern OFFSET = Pattern.compile("is malformed at byte (\\d+): expected .+, found .+");
    private static final int GENERATED_INPUTS = 4000;
    private static final int DAMAGES_PER_TEXT = 4;
    private static final byte[][] PIECES = Stream.of("<", "&", ">", "'", "\"", "]]>", "]]", "\r\n", "\r", "\n", "\t",
            "\\", "\u00E9", "\u20AC", "\uD83D\uDE00", "\uFFFD", "&amp;", "</F>").map(ReaderAgreementTest::utf8)
            .toArray(byte[][]::new);
    private static final byte[] DAMAGE_BYTES = {'<', '>', '&', '/', ']', '\r', 'x', '0', 0x01, (byte) 0xC3,
        (byte) 0xFF};

    private enum Family { DIAGNOSTICS, RULE_GROUPS, MESSAGE_RULE_MAP, TREES, FILE, LANGUAGES }

    /** What a reader made of a text: a value to compare, or its refusal. */
    private record Outcome(Object value, RuntimeException refusal) {
        static Outcome of(Supplier<Object> decode) {
            try {
                return new Outcome(decode.get(), null);
            } catch (RuntimeException e) {
                return new Outcome(null, e);
            }
        }

        boolean refused() {
            return refusal != null;
        }
    }

    private static PrintStream standardError;

    /** The JDK's XML reader prints each UTF-8 fault to standard error besides throwing it. */
    @BeforeAll
    static void quietReference() {
        standardError = System.err;
        System.setErr(new PrintStream(OutputStream.nullOutputStream()));
    }

    @AfterAll
    static void restoreStandardError() {
        System.setErr(standardError);
    }

    @Test
    void writerTextsDecodeAsTheReferenceDecodesThemAndDamagedOnesAreRefusedWhereItRefusesThem() throws Exception {
        List<byte[]> inputs = new ArrayList<>();
        try (Stream<Path> corpus = Files.list(Path.of(System.getProperty("kerv.test.writerCorpus")))) {
            for (Path file : corpus.sorted().toList()) {
                inputs.add(Files.readAllBytes(file));
            }
        }
        assertTrue(inputs.size() >= 10, "the writers' corpus has " + inputs.size() + " inputs");
        Random random = new Random(27);
        for (int i = 0; i < GENERATED_INPUTS; i++) {
            inputs.add(input(random));
        }

        Map<Family, Integer> agreed = new EnumMap<>(Family.class);
        int bothRefused = 0;
        int damagedRefused = 0;
        int damagedAgreed = 0;
        for (byte[] input : inputs) {
            byte[] written = WriterTexts.write(input);
            Family family = Family.values()[written[0]];
            byte[] text = Arrays.copyOfRange(written, 1, written.length);
            if (!fitsItsCall(family, text)) {
                continue;
            }
            if (!agree(family, text, RuleCatalog.EMPTY, "written text")) {
                bothRefused++;
                continue;
            }
            agreed.merge(family, 1, Integer::sum);
            if (family == Family.DIAGNOSTICS) {
                assertTrue(agree(family, text, catalogOf(ResultDecoder.diagnostics(text)), "text with a catalog"));
            }
            for (int d = 0; d < DAMAGES_PER_TEXT && text.length > 1; d++) {
                byte[] damaged = damaged(text, random);
                if (!fitsItsCall(family, damaged)) {
                    continue;
                }
                Outcome expected = read(family, damaged, true);
                Outcome actual = read(family, damaged, false);
                if (expected.refused()) {
                    assertRefusedWithOffset(actual, damaged, "damaged text the reference refuses");
                    damagedRefused++;
                } else if (!actual.refused()) {
                    assertEquals(expected.value(), actual.value(), () -> "damaged text " + shown(damaged));
                    damagedAgreed++;
                } else {
                    assertRefusedWithOffset(actual, damaged, "damaged text beyond what the writers write");
                }
            }
        }
        for (Family family : Family.values()) {
            assertTrue(agreed.getOrDefault(family, 0) >= 50, family + " agreed on " + agreed.get(family) + " texts");
        }
        assertTrue(bothRefused >= 50, "both refused " + bothRefused + " written texts");
        assertTrue(damagedRefused >= 1000 && damagedAgreed >= 50,
                "damaged texts: " + damagedRefused + " refused by both, " + damagedAgreed + " decoded alike");
    }

    @Test
    void verbatimValuesLineBreaksAndDeepRulesComeBackAsTheReferenceReadsThem() {
        String message = "<VQM><UMID>R&D<x>\r\nid</UMID><HFL>a&amp;b</HFL><ML>-3</ML><MN>0</MN>"
                + "<MT>x &lt; y &amp;&amp; &apos;q&quot;\r\r\n\u00E9</MT><P>p]]></P>"
                + "<R><![CDATA[a]]]]><![CDATA[>b\r]]><![CDATA[\nc<&>]]></R><R><![CDATA[]]></R></VQM>";
        String diagnostics = "<VQE><VQD>" + message + "<MH>true</MH><SS>2147483647</SS><SD>false</SD>"
                + "<VQD></VQD><MP><![CDATA[\uD83D\uDE00]]></MP><LI><F>/src/R&D/x<y>&amp;.c</F><L>-2147483648</L>"
                + "<C>0</C></LI><LI></LI></VQD><VQD><VQM><HFL>&lt;x&gt;</HFL><MT>&lt;x&gt;</MT></VQM>"
                + "<MP><![CDATA[y]]></MP><LI><F><![CDATA[y]]></F></LI></VQD></VQE>";
        assertTrue(agree(Family.DIAGNOSTICS, utf8(diagnostics), RuleCatalog.EMPTY, "diagnostics"));
        Diagnostic decoded = ResultDecoder.diagnostics(utf8(diagnostics)).get(0);
        assertEquals(List.of("R&D<x>\nid", "a&amp;b", "x < y && 'q\"\n\n\u00E9", "/src/R&D/x<y>&amp;.c"),
                List.of(decoded.messageId(), decoded.helpFileLocation(), decoded.text(),
                        decoded.locations().get(0).file()));
        assertEquals(List.of("a]]>b\n\nc<&>", ""), decoded.references());
        Diagnostic alike = ResultDecoder.diagnostics(utf8(diagnostics)).get(1);
        assertEquals(List.of("&lt;x&gt;", "<x>", "y", "<![CDATA[y]]>"), List.of(alike.helpFileLocation(), alike.text(),
                alike.parameters().get(0), alike.locations().get(0).file()));

        // UTF-8 at the edges of what XML allows, and just past them, in a verbatim value.
        List<String> allowed = List.of("7F", "C280", "DFBF", "E0A080", "ED9FBF", "EE8080", "EFBFBD", "F0908080",
                "F48FBFBF");
        for (String hex : Stream.concat(allowed.stream(), Stream.of("C080", "C1BF", "80", "C2", "C241", "E09F80",
                "EDA080", "EFBFBE", "EFBFBF", "F08F8080", "F4908080", "F5808080", "FF", "E282", "01", "1F")).toList()) {
            byte[] text = concat(utf8("<VQE><VQD><LI><F>"), HexFormat.of().parseHex(hex),
                    utf8("</F></LI></VQD></VQE>"));
            assertEquals(allowed.contains(hex), agree(Family.DIAGNOSTICS, text, RuleCatalog.EMPTY, "F holding " + hex));
            if (!allowed.contains(hex)) {
                KervException e = assertThrows(KervException.class, () -> ResultDecoder.diagnostics(text));
                assertTrue(e.getMessage().contains("at byte 17: expected "), hex + ": " + e.getMessage());
            }
        }
        RuleCatalog catalog = new RuleCatalog(List.of(new RuleGroup("error",
                List.of(new Rule("r\nx", true, "", "", "", "", List.of(), List.of())))),
                Map.of("R&D<x>\nid", List.of("r\nx")));
        assertTrue(agree(Family.DIAGNOSTICS, utf8(diagnostics), catalog, "diagnostics with a catalog"));
        assertEquals("r\nx", ResultDecoder.diagnostics(utf8(diagnostics), catalog).get(0).ruleId());

        int depth = 300;  // records compare their children recursively
        String rule = "<Rule><RuleId>r</RuleId><IsActive>1</IsActive><RuleText>&lt;t&gt;</RuleText>"
                + "<RuleCategory>c&d</RuleCategory>";
        String groups = "<VQRuleGrouping><VQRuleGroupEntry><RuleGroupName>warning</RuleGroupName>"
                + rule.repeat(depth) + "</Rule>".repeat(depth) + "</VQRuleGroupEntry><VQRuleGroupEntry>"
                + "</VQRuleGroupEntry></VQRuleGrouping>";
        assertTrue(agree(Family.RULE_GROUPS, utf8(groups), RuleCatalog.EMPTY, "deep rules"));
        String map = "<VQMessageRuleMapping><VQMessageRuleMapEntry><UMID>m</UMID><UniqueRuleId>a</UniqueRuleId>"
                + "<UniqueRuleId>b</UniqueRuleId></VQMessageRuleMapEntry><VQMessageRuleMapEntry><UniqueRuleId>c"
                + "</UniqueRuleId></VQMessageRuleMapEntry></VQMessageRuleMapping>";
        assertTrue(agree(Family.MESSAGE_RULE_MAP, utf8(map), RuleCatalog.EMPTY, "map with an entry without id"));
        assertEquals(Map.of("m", List.of("a", "b")), ResultDecoder.messageRuleMap(utf8(map)));
    }

    @Test
    void faultsAreRefusedAtTheirOffsetWithWhatWasExpectedThere() {
        record Fault(String text, String at, String expected) {}
        List<Fault> faults = List.of(
                new Fault("<VQE><VQD>", "", "<VQM>, <MH>, <SS>, <SD>, <VQD>, <MP>, <LI> or </VQD>, found the end"),
                new Fault("<VQE><VQD><VQM><UMID>m</VQM></VQD></VQE>", "", "</UMID>, found the end"),
                new Fault("<VQE><VQD><VQM><ML>1x</ML>", "1x", "a decimal number that fits 32 bits"),
                new Fault("<VQE><VQD><VQM><ML>2147483648</ML>", "2147", "a decimal number that fits 32 bits"),
                new Fault("<VQE><VQD><VQM><MT>a &amp b</MT>", "&amp b", "&amp;, &lt;, &gt;, &apos; or &quot;"),
                new Fault("<VQE><VQD><VQM><MT>a &#60; b</MT>", "&#60", "&amp;, &lt;, &gt;, &apos; or &quot;"),
                new Fault("<VQE><VQD><VQM><MT>a > b</MT>", "> b", "&gt;, found '> b</MT>'"),
                new Fault("<VQE><UMID>x</UMID></VQE>", "<UMID>", "<VQD> or </VQE>, found '<UMID>'"),
                new Fault("<VQE><VQD><VQM><P>p</P><UMID>m</UMID>", "<UMID>", "<R> or </VQM>, found '<UMID>'"),
                new Fault("<VQE><VQD><Extra></Extra></VQD></VQE>", "<Extra>", "<VQM>, <MH>"),
                new Fault("<Tr><FT><N>a<SI></SI></N></FT>", "<SI>", "</N>, found '<SI>'"),
                new Fault("<VQE> <VQD></VQD></VQE>", " <VQD>", "<VQD> or </VQE>, found ' <VQD></VQD></VQE>'"),
                new Fault("<VQE><VQD><LI><F>a\u0001</F>", "\u0001", "a character that XML allows"),
                new Fault("<VQE><VQD><LI><F>a\uFFFF</F>", "\uFFFF", "a character that XML allows"),
                new Fault("<VQE><VQD><MP><![CDATA[x]]</MP>", "", "]]>, found the end"),
                new Fault("<VQE><VQD><MP>x</MP>", "x</MP>", "<![CDATA["),
                new Fault("<VQE><VQD><MH>yes</MH>", "yes", "true or false"),
                new Fault("<VQE></VQE><VQE></VQE>", "<VQE></VQE>", "the end of the text"));
        for (Fault fault : faults) {
            byte[] text = utf8(fault.text());
            int offset = fault.at().isEmpty() ? text.length
                    : utf8(fault.text().substring(0, fault.text().lastIndexOf(fault.at()))).length;
            KervException e = assertThrows(KervException.class, () -> decodeAny(text), fault.text());
            assertTrue(e.getMessage().contains("is malformed at byte " + offset + ": expected " + fault.expected()),
                    e.getMessage());
            assertEquals(-1, e.status());
        }
        byte[] overlongPath = {'<', 'V', 'Q', 'E', '>', '<', 'V', 'Q', 'D', '>', '<', 'L', 'I', '>', '<', 'F', '>',
            (byte) 0xC0, (byte) 0x80, '<', '/', 'F', '>'};
        KervException e = assertThrows(KervException.class, () -> ResultDecoder.diagnostics(overlongPath));
        assertTrue(e.getMessage().contains("at byte 17: expected UTF-8, found '\\xC0\\x80</F>'"), e.getMessage());
        e = assertThrows(KervException.class, () -> ResultDecoder.languages("<VQL><L>7</L></VQL>"));
        assertTrue(e.getMessage().contains("at byte 8: expected the number of a source language"), e.getMessage());
    }

    /** Decodes a text with the decoder of its root element. */
    private static Object decodeAny(byte[] text) {
        String start = new String(text, 0, Math.min(text.length, 5), StandardCharsets.ISO_8859_1);
        if (start.startsWith("<Tr>")) {
            return ResultDecoder.trees(text);
        }
        if (start.startsWith("<VQL>")) {
            return ResultDecoder.languages(new String(text, StandardCharsets.ISO_8859_1));
        }
        return ResultDecoder.diagnostics(text);
    }

    /**
     * Decodes a text with both readers; returns true when both decoded it, to equal records, and false when both
     * refused it.
     */
    private static boolean agree(Family family, byte[] text, RuleCatalog catalog, String what) {
        Outcome expected = read(family, text, catalog, true);
        Outcome actual = read(family, text, catalog, false);
        if (expected.refused()) {
            assertRefusedWithOffset(actual, text, what + " that the reference refuses (" + expected.refusal() + ")");
            return false;
        }
        assertFalse(actual.refused(), () -> what + " " + shown(text) + " refused: " + actual.refusal());
        assertEquals(expected.value(), actual.value(), () -> what + " " + shown(text));
        return true;
    }

    private static Outcome read(Family family, byte[] text, boolean reference) {
        return read(family, text, RuleCatalog.EMPTY, reference);
    }

    private static Outcome read(Family family, byte[] text, RuleCatalog catalog, boolean reference) {
        return Outcome.of(() -> switch (family) {
            case DIAGNOSTICS -> reference ? StaxResultDecoder.diagnostics(text, catalog)
                    : ResultDecoder.diagnostics(text, catalog);
            case RULE_GROUPS -> reference ? StaxResultDecoder.ruleGroups(text) : ResultDecoder.ruleGroups(text);
            case MESSAGE_RULE_MAP -> List.copyOf((reference ? StaxResultDecoder.messageRuleMap(text)
                    : ResultDecoder.messageRuleMap(text)).entrySet());
            case TREES -> reference ? StaxResultDecoder.trees(text) : ResultDecoder.trees(text);
            case FILE -> reference ? StaxResultDecoder.sourceFile(string(text))
                    : ResultDecoder.sourceFile(string(text));
            case LANGUAGES -> reference ? StaxResultDecoder.languages(string(text))
                    : ResultDecoder.languages(string(text));
        });
    }

    private static void assertRefusedWithOffset(Outcome outcome, byte[] text, String what) {
        assertTrue(outcome.refused(), () -> what + " " + shown(text) + " decoded as " + outcome.value());
        KervException e = assertInstanceOf(KervException.class, outcome.refusal(), what);
        assertEquals(-1, e.status());
        Matcher matcher = OFFSET.matcher(e.getMessage());
        assertTrue(matcher.find(), e.getMessage());
        int offset = Integer.parseInt(matcher.group(1));
        assertTrue(offset >= 0 && offset <= text.length, e.getMessage());
    }

    /**
     * The file's record and the language list come as Java strings: texts that are not UTF-8 never reach a reader
     * through those calls.
     */
    private static boolean fitsItsCall(Family family, byte[] text) {
        if (family != Family.FILE && family != Family.LANGUAGES) {
            return true;
        }
        try {
            StandardCharsets.UTF_8.newDecoder().decode(ByteBuffer.wrap(text));
            return true;
        } catch (CharacterCodingException e) {
            return false;
        }
    }

    private static String string(byte[] text) {
        return new String(text, StandardCharsets.UTF_8);
    }

    /** A catalog that maps every third message id to a rule of its own and takes every third as a rule id. */
    private static RuleCatalog catalogOf(List<Diagnostic> diagnostics) {
        List<String> ids = new ArrayList<>();
        collectIds(diagnostics, ids);
        List<Rule> rules = new ArrayList<>();
        Map<String, List<String>> map = new LinkedHashMap<>();
        for (int i = 0; i < ids.size(); i++) {
            String id = ids.get(i);
            if (i % 3 == 0) {
                map.put(id, List.of("mapped " + id));
                rules.add(new Rule("mapped " + id, true, "", "", "", "", List.of(), List.of()));
            } else if (i % 3 == 1) {
                rules.add(new Rule(id, true, "", "", "", "", List.of(), List.of()));
            }
        }
        return new RuleCatalog(List.of(new RuleGroup("error", rules)), map);
    }

    private static void collectIds(List<Diagnostic> diagnostics, List<String> ids) {
        for (Diagnostic diagnostic : diagnostics) {
            if (!ids.contains(diagnostic.messageId())) {
                ids.add(diagnostic.messageId());
            }
            collectIds(diagnostic.subDiagnostics(), ids);
        }
    }

    /**
     * Input for the writers' record builder: mostly printable ASCII, so that many texts are well-formed, with markup,
     * line breaks, multi-byte characters and now and then any byte at all.
     */
    private static byte[] input(Random random) {
        byte[] input = new byte[100 + random.nextInt(1400)];
        for (int i = 0; i < input.length;) {
            int pick = random.nextInt(1000);
            if (pick < 880) {
                input[i++] = (byte) (0x20 + random.nextInt(0x5F));
            } else if (pick < 995) {
                byte[] piece = PIECES[random.nextInt(PIECES.length)];
                for (int k = 0; k < piece.length && i < input.length; k++) {
                    input[i++] = piece[k];
                }
            } else {
                input[i++] = (byte) random.nextInt(256);
            }
        }
        return input;
    }

    /** The text cut short, or with one byte changed, dropped or added, or a stretch of it repeated. */
    private static byte[] damaged(byte[] text, Random random) {
        int at = random.nextInt(text.length);
        byte damage = DAMAGE_BYTES[random.nextInt(DAMAGE_BYTES.length)];
        byte[] damaged;
        switch (random.nextInt(5)) {
            case 0 -> damaged = Arrays.copyOf(text, Math.max(1, at));
            case 1 -> {
                damaged = text.clone();
                damaged[at] = damage;
            }
            case 2 -> damaged = concat(Arrays.copyOf(text, at), Arrays.copyOfRange(text, at + 1, text.length));
            case 3 -> damaged = concat(Arrays.copyOf(text, at), new byte[] {damage},
                    Arrays.copyOfRange(text, at, text.length));
            default -> {
                int end = at + random.nextInt(Math.min(40, text.length - at)) + 1;
                damaged = concat(Arrays.copyOf(text, end), Arrays.copyOfRange(text, at, text.length));
            }
        }
        return damaged;
    }

    private static byte[] concat(byte[]... parts) {
        byte[] joined = new byte[Arrays.stream(parts).mapToInt(part -> part.length).sum()];
        int at = 0;
        for (byte[] part : parts) {
            System.arraycopy(part, 0, joined, at, part.length);
            at += part.length;
        }
        return joined;
    }

    private static String shown(byte[] text) {
        return new String(text, StandardCharsets.ISO_8859_1);
    }

    private static byte[] utf8(String text) {
        return text.getBytes(StandardCharsets.UTF_8);
    }
}
