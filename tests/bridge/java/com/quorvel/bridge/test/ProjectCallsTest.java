package com.quorvel.bridge.test;

import static com.quorvel.bridge.caller.KERVBridge.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Path;
import org.junit.jupiter.api.Test;

/** Projects, files, configuration files, workspace, languages and lists with the stand-in loaded. */
class ProjectCallsTest extends StandInTest {
    @Test
    void createProjectLogsTheConfigPathThenChecksItsFilesAndAlwaysCallsTheLibrary() {
        Path rcf = BridgeFixture.tempFile("rules", ".rcf");
        String location = rcf.getParent().toString();
        Fake.setText("getUserConfigPath", "/home/user/.config");
        Fake.setResult("createProject", 4);
        assertEquals(4L, createProject(location, "demo", "/missing/a.acf", rcf.toString(), "/missing/c.cct"));
        assertEquals("getUserConfigPath()\ncreateProject(\"" + location + "\", \"demo\", \"/missing/a.acf\", \""
                + rcf + "\", \"/missing/c.cct\")\n", Fake.journal());

        String log = BridgeFixture.log();
        int configLine = log.indexOf("\nUser config path = /home/user/.config\n");
        int acfLine = log.indexOf("\nFile /missing/a.acf NOT exists! Returned error code 2");
        int rcfLine = log.indexOf("\nFile " + rcf + " exists!");
        int cctLine = log.indexOf("\nFile /missing/c.cct NOT exists! Returned error code 2");
        int locationLine = log.indexOf("\nDirector " + location + " exists");
        int enterLine = log.indexOf("\nEnter call createProject() with parameters: \n\t location = " + location
                + " \n\t name = demo \n\t acfFile = /missing/a.acf \n\t rcfFile = " + rcf
                + " \n\t cctFile = /missing/c.cct ");
        assertTrue(configLine >= 0 && configLine < acfLine && acfLine < rcfLine && rcfLine < cctLine
                && cctLine < locationLine && locationLine < enterLine, log);
        assertTrue(log.contains("\n\tExist Java_com_quorvel_bridge_caller_KERVBridge_createProject result = "));

        setDebugLevel(1);
        setNativeLogFile(BridgeFixture.logFile().toString());
        createProject("/missing/dir", "demo", "/missing/a.acf", rcf.toString(), rcf.toString());
        assertEquals("\nFile /missing/a.acf NOT exists! Returned error code 2", BridgeFixture.log(),
                "a missing file is a failure line, a missing folder only a trace");
    }

    @Test
    void projectOpeningPassesArgumentsInTheLibrarysOrder() {
        Fake.setResult("initProjectMngr", -9);
        assertEquals(-9L, initProjectMngr("key", "/loc", "name"));
        Fake.setResult("isVQFProject", 1);
        assertTrue(isVQFProject("/loc", "name"));
        Fake.setResult("isVQFProject", 2);
        assertFalse(isVQFProject("/loc", "other"), "only the byte 1 means a project");
        assertEquals("initProjectMngr(\"key\", \"/loc\", \"name\")\nisVQFProject(\"/loc\", \"name\")\n"
                + "isVQFProject(\"/loc\", \"other\")\n", Fake.journal());
        String log = BridgeFixture.log();
        assertTrue(log.contains(
                "\nEnter call initProjectMngr() with parameters: \n\t bindKey = key \n\t location = /loc \n\t name = name "));
        assertTrue(log.contains("\nEnter call IsVQFProject() with parameters: \n\t location = /loc \n\t name = other "));
        assertTrue(log.contains("\n\tExit Java_com_quorvel_bridge_caller_KERVBridge_initProjectMngr result = "));
        assertTrue(log.contains("\n\tExist Java_com_quorvel_bridge_caller_KERVBridge_isVQFProject last error code = "));
    }

    @Test
    void addFileSplitsItsListsIntoExactlyTheGivenNumberOfStrings() {
        Fake.setResult("addFile", 3);
        assertEquals(3L, addFile(1, "a.c", null, 0, null, 0));
        addFile(0, "b.c", "A\u0019B=1", 2, "/inc", 1);
        addFile(0, "c.c", joinItems("A", "B", "C"), 2, joinItems("/i1", "/i2"), 3);
        addFile(0, "d.c", "ignored", -1, "ignored\0too", -5);
        addFile(0x1_0000_0001L, "e.c", "\u0019", 2, "", 1);
        assertEquals("addFile(1, \"a.c\", 0, null, 0, null)\n"
                + "addFile(0, \"b.c\", 2, [\"A\",\"B=1\"], 1, [\"/inc\"])\n"
                + "addFile(0, \"c.c\", 2, [\"A\",\"B\"], 3, [\"/i1\",\"/i2\",\"\"])\n"
                + "addFile(0, \"d.c\", 0, null, 0, null)\n"
                + "addFile(1, \"e.c\", 2, [\"\",\"\"], 1, [\"\"])\n", Fake.journal());
    }

    @Test
    void configurationFilesAreCheckedThenPassedOn() {
        Path cct = BridgeFixture.tempFile("compiler", ".cct");
        Fake.setResult("addCCT", 5);
        Fake.setResult("setActiveCCT", -2);
        assertEquals(5L, addCCT(cct.toString()));
        assertEquals(-2L, setActiveCCT(1, "/missing.cct"));
        assertEquals(0L, removeFile("a.c"));
        assertEquals("addCCT(\"" + cct + "\")\nsetActiveCCT(1, \"/missing.cct\")\nremoveFile(\"a.c\")\n",
                Fake.journal());
        String log = BridgeFixture.log();
        assertTrue(log.contains("\nFile " + cct + " exists!\nEnter call addCCT() with parameter " + cct + "\n"), log);
        assertTrue(log.contains("\nFile /missing.cct NOT exists! Returned error code 2"
                + "\nEnter call setActiveCT() with parameter 1, /missing.cct\n"), log);
    }

    @Test
    void workspaceLanguageAndFileSettingsReachTheLibrary() {
        setWorkspace("/work/space");
        Fake.setText("getWorkspace", "/work/space");
        assertEquals("/work/space", getWorkspace());
        setCurrentLanguage(2);
        Fake.setResult("getCurrentLanguage", 2);
        assertEquals(2, getCurrentLanguage());
        assertEquals("setWorkspace(\"/work/space\")\ngetWorkspace()\nsetCurrentLanguage(2)\ngetCurrentLanguage()\n",
                Fake.journal());
        assertTrue(BridgeFixture.log().contains("\n\tExist Java_com_quorvel_bridge_caller_KERVBridge_setWorkspace result = "));

        Fake.setResult("getVQFile", 1);
        assertEquals("", getVQFile("src/a.c"));
        assertTrue(BridgeFixture.log().contains("\n getting vq file \n\n file path: src/a.c\n"));
    }

    @Test
    void listGettersJoinTheLibrarysListsAndReleaseThem() {
        Fake.setStrings("getMappedFileExtensions", 0, new String[] {"c", "h"});
        Fake.setStrings("getMappedFileExtensions", 1, new String[] {"cpp"});
        assertEquals("c;h;cpp", getFileExtensions());
        String log = BridgeFixture.log();
        assertTrue(log.contains("\n getting mapped file extensions \n") && log.contains("\n got it \n"), log);

        Fake.reset();
        long projects = Fake.setStrings("getCMAProjectList", -1, new String[] {"p", "q"});
        Fake.setResult("getCMAProjectList", 1);
        assertEquals("p;q", getCMAProjects());
        assertTrue(Fake.journal().endsWith(Fake.freed("freeStrings", projects)), Fake.journal());
    }
}
