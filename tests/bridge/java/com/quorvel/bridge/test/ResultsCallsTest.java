package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;

/** Results, aggregation and the XML getters with the stand-in loaded. */
class ResultsCallsTest extends StandInTest {
    @Test
    void resultQueriesPassTheirArgumentsAndTruthValues() {
        Fake.setResult("initResults", -3);
        assertEquals(-3L, initResults("key", "/loc", "name"));
        Fake.setResult("hasResults", 2);
        assertTrue(hasResults("a.c"), "any non-zero byte is true");
        assertFalse(hasUpToDateResults("a.c"));
        assertEquals("initResults(\"key\", \"/loc\", \"name\")\nhasResults(\"a.c\")\nhasUptoDateResults(\"a.c\")\n",
                Fake.journal());
        String log = BridgeFixture.log();
        assertTrue(log.contains(
                "\nEnter call initResultst() with parameters: \n\t bindKey = key \n\t location = /loc \n\t name = name"));
        assertTrue(log.contains("\n\tExit Java_com_quorvel_bridge_caller_KERVBridge_initResults result = "));
        assertTrue(log.contains("\nEnter call HasResults() with parameters: \n\t filePath = a.c "));
        assertTrue(log.contains("\nEnter call HasUpToDateResults() with parameters: \n\t filePath = a.c "));
    }

    @Test
    void aggregateRegistersTheProgressCallbackOnceAndLogsEveryValue() {
        Fake.setProgress(new int[] {0, 40, 100});
        aggregate();
        aggregate();
        assertEquals("aggregate(fn)\naggregate(fn)\n", Fake.journal());
        String log = BridgeFixture.log();
        String progress = "Aggregate progress is 0\nAggregate progress is 40\nAggregate progress is 100\n";
        int first = log.indexOf(progress);
        assertTrue(first >= 0 && log.indexOf(progress, first + 1) > first, "both calls report progress: " + log);

        Fake.replaceAggregateCallback();
        try {
            BridgeFixture.freshCall();
            Fake.setProgress(new int[] {7, 8});
            aggregate();
            assertArrayEquals(new int[] {7, 8}, Fake.recordedProgress(), "the bridge did not register again");
            assertFalse(BridgeFixture.log().contains("Aggregate progress is"));
        } finally {
            Fake.restoreAggregateCallback();
        }
    }

    @Test
    void getDiagnosticsIgnoresMessagesRulesAndMask() {
        long record = Fake.setDiagnostics("nullPointer", Fake.utf8("Null pointer <p> & \"q\""), "src/a.c", 12, 5);
        byte[] plain = getDiagnostics("src/a.c", null, null, 0);
        byte[] withFilters = getDiagnostics("src/a.c", "<messages/>", "rule\u0019list\0", -1L);
        assertArrayEquals(plain, withFilters);
        assertEquals("getDiagnostics(\"src/a.c\", null, null, 0, out)\n" + Fake.freed("freeDiagnostics", record)
                + "getDiagnostics(\"src/a.c\", null, null, 0, out)\n" + Fake.freed("freeDiagnostics", record),
                Fake.journal());
        assertTrue(BridgeFixture.text(plain).contains("Null pointer &lt;p&gt; &amp; &quot;q&quot;"));

        Fake.reset();
        byte[] none = getDiagnostics("src/a.c", null, null, 0);
        assertNotNull(none);
        assertEquals(0, none.length);
        assertEquals("getDiagnostics(\"src/a.c\", null, null, 0, out)\nfreeDiagnostics(*pp=null)\n", Fake.journal());
    }

    @Test
    void getTreesSplitsItsItemsIntoExactlyItemCountStrings() {
        long record = Fake.setTrees(Fake.utf8("src/a.c"), 7, 3);
        byte[] trees = getTrees(true, 0, null);
        getTrees(false, 2, "a\u0019b");
        getTrees(false, 2, joinItems("a", "b", "c"));
        getTrees(false, 3, "a");
        getTrees(true, -4, "ignored");
        String freed = Fake.freed("freeTrees", record);
        assertEquals("getTrees(out, 1, 0, null)\n" + freed + "getTrees(out, 0, 2, [\"a\",\"b\"])\n" + freed
                + "getTrees(out, 0, 2, [\"a\",\"b\"])\n" + freed + "getTrees(out, 0, 3, [\"a\",\"\",\"\"])\n" + freed
                + "getTrees(out, 1, 0, null)\n" + freed, Fake.journal());
        assertTrue(BridgeFixture.text(trees).startsWith("<Tr><FT>"));

        Fake.reset();
        assertEquals(0, getTrees(false, 2_000_000_000, "a").length, "a count far beyond the items is refused");
        assertEquals("", Fake.journal());
        assertTrue(BridgeFixture.log().contains("\ngetTrees failed: item count far beyond the items given\n"));
    }
}
