package com.quorvel.bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.MessageLevel;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.RuleGroup;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.SuppressionState;
import com.quorvel.bridge.client.TreeNode;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** Diagnostics built by the stand-in come back as the same records; depth and malformed texts. */
class ResultDecodingTest {
    private static final String FAKE = System.getProperty("kerv.test.fake");
    private static final int DEPTH = 100_000;

    @TempDir Path temp;

    @Test
    void diagnosticsComeBackAsTheStandInBuiltThem() {
        String text = "if (a < b && c > d) \"quoted\" ]]> \uD83D\uDE00 &amp;";
        String parameter = "x]]>y<z&\uD83D\uDE00";
        String file = "/src/R&D/\u00E9t\u00E9/x<y>&amp;\uD83D\uDE00.c";  // written verbatim by the bridge
        try (KervSession kerv = Kerv.open(Path.of(FAKE))) {
            Project project = kerv.openProject(temp, "decoding");
            StandInDiagnostics.script(FAKE, 4, utf8(text), utf8(parameter), utf8(file));
            List<Diagnostic> expected = new ArrayList<>();
            Diagnostic note = new Diagnostic("note", "", MessageLevel.USER_MESSAGE, "0", "declared here", "stand-in",
                    List.of(), false, SuppressionState.ACTIVE, false, List.of(), List.of(), List.of());
            for (int i = 0; i < 4; i++) {
                expected.add(new Diagnostic("rule" + i, "help/rule.html", MessageLevel.values()[1 + i % 3],
                        String.valueOf(i), text, "stand-in", List.of(parameter), i % 2 == 1,
                        SuppressionState.values()[i % 3], true, List.of(note), List.of(parameter),
                        List.of(new Location(file, i + 1, i + 1))));
            }
            assertEquals(expected, project.diagnostics(Path.of(file)));
        }
    }

    @Test
    void nestingOfAnyDepthDecodesAndMalformedResultsAreRefused() {
        StringBuilder xml = new StringBuilder("<VQE>");
        xml.append("<VQD><VQM><UMID>m</UMID><HFL></HFL><ML>2</ML><MN>1</MN><MT>t</MT><P>p</P></VQM><MH>false</MH>"
                + "<SS>0</SS><SD>true</SD>");
        String level = "<VQD><VQM><UMID>m</UMID></VQM><SD>true</SD>";
        xml.append(level.repeat(DEPTH - 1)).append("<LI><F>deep.c</F><L>9</L><C>3</C></LI>");
        xml.append("</VQD>".repeat(DEPTH)).append("</VQE>");
        Diagnostic diagnostic = ResultDecoder.diagnostics(utf8(xml.toString())).get(0);
        int depth = 1;
        while (!diagnostic.subDiagnostics().isEmpty()) {
            diagnostic = diagnostic.subDiagnostics().get(0);
            depth++;
        }
        assertEquals(DEPTH, depth);
        assertEquals(List.of(new Location("deep.c", 9, 3)), diagnostic.locations());

        String node = "<Ty>1</Ty><N>n</N><D>d</D><To>1</To><A>0</A>";
        String trees = "<Tr><FT>" + node + ("<SI>" + node).repeat(DEPTH) + "</SI>".repeat(DEPTH) + "</FT><MT>" + node
                + "</MT><RT>" + node + "</RT></Tr>";
        TreeNode tree = ResultDecoder.trees(utf8(trees)).orElseThrow().files();
        for (depth = 0; !tree.children().isEmpty(); depth++) {
            tree = tree.children().get(0);
        }
        assertEquals(DEPTH, depth);

        assertTrue(ResultDecoder.diagnostics(new byte[0]).isEmpty());
        for (String malformed : List.of("<VQE><VQD>", "<VQE><UMID>x</UMID></VQE>", "<VQE><VQD><L>x</L></VQD></VQE>")) {
            KervException e = assertThrows(KervException.class, () -> ResultDecoder.diagnostics(utf8(malformed)));
            assertEquals(-1, e.status(), malformed);
            assertEquals("getDiagnostics", e.operation());
        }
    }

    @Test
    void eachDiagnosticGetsItsRuleAndTheSeverityOfTheRulesGroup() {
        Rule nested = new Rule("nestedRule", true, "", "warning", "nested", "u2", List.of(), List.of());
        Rule top = new Rule("topRule", true, "", "warning", "top", "u1", List.of(), List.of(nested));
        Rule style = new Rule("styleRule", true, "", "style", "style", "u3", List.of(), List.of());
        RuleCatalog catalog = new RuleCatalog(
                List.of(new RuleGroup("warning", List.of(top)), new RuleGroup("style", List.of(style))),
                Map.of("mappedMessage", List.of("nestedRule", "styleRule")));
        String sub = "<VQD><VQM><UMID>styleRule</UMID></VQM><VQD><VQM><UMID>stray</UMID></VQM></VQD></VQD>";
        String xml = "<VQE><VQD><VQM><UMID>mappedMessage</UMID></VQM>" + sub + "</VQD></VQE>";
        Diagnostic found = ResultDecoder.diagnostics(utf8(xml), catalog).get(0);
        assertEquals(List.of("nestedRule", "WARNING", "styleRule", "STYLE", "stray", "UNKNOWN"),
                List.of(found.ruleId(), found.severity().name(), found.subDiagnostics().get(0).ruleId(),
                        found.subDiagnostics().get(0).severity().name(),
                        found.subDiagnostics().get(0).subDiagnostics().get(0).ruleId(),
                        found.subDiagnostics().get(0).subDiagnostics().get(0).severity().name()));
        assertEquals(Severity.UNKNOWN, ResultDecoder.diagnostics(utf8(xml)).get(0).severity());
    }

    private static byte[] utf8(String text) {
        return text.getBytes(StandardCharsets.UTF_8);
    }
}
