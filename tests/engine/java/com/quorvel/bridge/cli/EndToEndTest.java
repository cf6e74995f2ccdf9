package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.SourceLanguage;
import com.quorvel.bridge.client.SuppressionState;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** Java, the bridge, libKERV.so and cppcheck together on the example project. */
class EndToEndTest {
    @TempDir Path temp;

    private static boolean has(List<Diagnostic> list, String rule, String file, int line, boolean active) {
        return list.stream().anyMatch(d -> d.messageId().equals(rule) && Summary.primary(d).file().endsWith(file)
                && Summary.primary(d).line() == line && (d.suppressionState() == SuppressionState.ACTIVE) == active);
    }

    private static List<Diagnostic> diagnostics(Path file) {
        return ResultDecoder.diagnostics(KERVBridge.getDiagnostics(file.toString(), null, null, 0));
    }

    @Test
    void analysesTheExamplesAndFindsTheKnownFaults() throws Exception {
        Path log = temp.resolve("native.log");
        EngineFixture.loadEngine(log);
        Path source = EngineFixture.copyExamples(temp.resolve("examples"));
        Path main = source.resolve("src/main.c");
        Path records = source.resolve("src/records.c");
        Path shapes = source.resolve("src/shapes.cpp");
        Path location = temp.toRealPath();

        assertEquals(0, KERVBridge.createProject(location.toString(), "demo",
                EngineFixture.config("analysis.acf").toString(), EngineFixture.config("rules.rcf").toString(),
                EngineFixture.config("compiler.cct").toString()));
        assertTrue(KERVBridge.isVQFProject(location.toString(), "demo"));
        // The library's status codes are the ones the client names.
        assertEquals(KervStatus.PROJECT_EXISTS.code(), KERVBridge.createProject(location.toString(), "demo", "", "", ""));
        assertEquals(KervStatus.CCT_NOT_REGISTERED.code(), KERVBridge.setActiveCCT(0, "none.cct"));
        assertEquals(KervStatus.SOURCE_UNREADABLE.code(),
                KERVBridge.addFile(0, temp.resolve("none.c").toString(), null, 0, null, 0));
        assertEquals(".c;.cpp;.cc;.cxx;.c++", KERVBridge.getFileExtensions());
        // The client takes a file's language from the same extensions, in the same order.
        assertEquals(KERVBridge.getFileExtensions(), Stream.of(SourceLanguage.values())
                .flatMap(language -> language.extensions().stream()).collect(Collectors.joining(";")));
        assertEquals(0, KERVBridge.addFile(KERVBridge.SOURCE_LANGUAGE_C, main.toString(), "DEBUG\u0019LEVEL=2", 2,
                source.resolve("src").toString(), 1));
        assertEquals(0, KERVBridge.addFile(KERVBridge.SOURCE_LANGUAGE_C, records.toString(), null, 0, null, 0));
        assertEquals(0, KERVBridge.addFile(KERVBridge.SOURCE_LANGUAGE_CPP, shapes.toString(), null, 0, null, 0));
        assertEquals(List.of(main.toString(), records.toString(), shapes.toString()), EngineFixture.files());
        assertEquals("<VQF><IP>" + source.resolve("src") + "</IP><DEF>DEBUG;LEVEL=2</DEF><SL>C</SL></VQF>",
                KERVBridge.getVQFile(main.toString()));
        assertFalse(KERVBridge.hasResults(main.toString()));

        KERVBridge.aggregate();
        String trace = Files.readString(log, StandardCharsets.UTF_8);
        assertTrue(trace.contains("Aggregate progress is 0\n"), "progress starts at 0");
        assertTrue(trace.contains("Aggregate progress is 100\n"), "progress ends at 100");

        List<Diagnostic> mainFindings = diagnostics(main);
        assertTrue(has(mainFindings, "nullPointer", "src/main.c", 8, true));
        assertTrue(has(mainFindings, "unreadVariable", "src/main.c", 13, false), "switched off, still reported");
        List<Diagnostic> recordFindings = diagnostics(records);
        assertTrue(has(recordFindings, "memleak", "src/records.c", 25, true));
        List<Diagnostic> shapeFindings = diagnostics(shapes);
        assertTrue(has(shapeFindings, "arrayIndexOutOfBounds", "src/shapes.cpp", 23, true));
        assertTrue(KERVBridge.hasUpToDateResults(shapes.toString()));

        RuleCatalog rules = new RuleCatalog(ResultDecoder.ruleGroups(KERVBridge.getRuleGroups()), Map.of());
        assertEquals("error", rules.severityOf("nullPointer").text());
        assertFalse(rules.rule("unreadVariable").orElseThrow().rule().active());
        assertTrue(rules.rule("nullPointer").orElseThrow().rule().active());
        assertEquals("cppcheck", KERVBridge.getReportTools());
        assertTrue(KERVBridge.getComponents().startsWith("engine 1.0.0;cppcheck "));
    }
}
