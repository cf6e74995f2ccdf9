package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.caller.KERVProgress;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Objects;
import java.util.Optional;
import java.util.Set;
import java.util.function.IntConsumer;
import java.util.function.Predicate;

/**
 * A project of the analysis library: its files, their analysis and the results.
 *
 * <p>A project belongs to the {@link KervSession} that opened it and may be used from any thread while the session is
 * open. The analysis library keeps one project open at a time; a call on a project that is not the open one opens it
 * again first. File paths are made absolute and normalised before they reach the analysis library.
 */
public final class Project {
    private final SessionBridge bridge;
    private final LibraryInfo library;
    private final Path location;
    private final String name;
    /** Built on first use; the rules of a project do not change while a session has it open. */
    private volatile RuleCatalog ruleCatalog;

    Project(KervSession session, Path location, String name) {
        this.bridge = session.bridge();
        this.library = session.library();
        this.location = location;
        this.name = name;
    }

    /**
     * Returns the name under which the command line keeps the project of a source folder: the folder's name and a
     * hash of its path, so that every program that works on the folder shares one project and its results.
     *
     * @param sourceFolder the source folder, as a real path
     * @return the project's name
     */
    public static String defaultName(Path sourceFolder) {
        Path folderName = sourceFolder.getFileName();
        String folder = folderName == null ? "root" : folderName.toString();
        return folder + "-" + String.format(Locale.ROOT, "%08x", sourceFolder.toString().hashCode());
    }

    /**
     * Returns the folder that holds the project.
     *
     * @return the folder's real path
     */
    public Path location() {
        return location;
    }

    /**
     * Returns the project's name.
     *
     * @return the name
     */
    public String name() {
        return name;
    }

    // ---- Files ------------------------------------------------------------------------------------------------

    /**
     * Adds a source file, its language taken from its extension ({@link SourceLanguage#ofFile}); the
     * analysis library must map the extension ({@link LibraryInfo#fileExtensions()}).
     *
     * @param file the source file
     * @throws IllegalArgumentException when the file is not a readable regular file or its extension is not mapped;
     *     the project is then unchanged
     * @throws KervException when the analysis library refuses the file; with the reference library,
     *     {@link KervStatus#BAD_ARGUMENT} for a path holding a control character, {@code ;}, {@code "}, {@code \}
     *     or {@code </}, which the message names
     */
    public void addFile(Path file) {
        String path = Arguments.readableFile(file, "file");
        if (!library.fileExtensions().contains(SourceLanguage.extensionOf(Path.of(path)))) {
            throw new IllegalArgumentException("file has an extension that the analysis library does not map to a"
                    + " language: " + path);
        }
        add(path, SourceLanguage.ofFile(Path.of(path)), "", 0, "", 0);
    }

    /**
     * Adds a source file with its language, preprocessor definitions and include folders.
     *
     * @param file the source file
     * @param language its language
     * @param defines definitions such as "DEBUG" or "LEVEL=2", possibly none
     * @param includeFolders include folders, possibly none
     * @throws IllegalArgumentException when the file is not a readable regular file, or a definition holds U+0019;
     *     the project is then unchanged
     * @throws KervException when the analysis library refuses the file, as for {@link #addFile(Path)}
     */
    public void addFile(Path file, SourceLanguage language, List<String> defines, List<Path> includeFolders) {
        String path = Arguments.readableFile(file, "file");
        Objects.requireNonNull(language, "language");
        String defineItems = Arguments.items(defines, "defines");
        Objects.requireNonNull(includeFolders, "includeFolders");
        List<String> folders = new ArrayList<>();
        for (Path folder : includeFolders) {
            folders.add(Arguments.path(folder, "includeFolders"));
        }
        add(path, language, defineItems, defines.size(), Arguments.items(folders, "includeFolders"), folders.size());
    }

    private void add(String path, SourceLanguage language, String defines, int definesSize, String includes,
            int includesSize) {
        long status = bridge.callOn(this, "addFile",
                () -> KERVBridge.addFile(language.number(), path, defines, definesSize, includes, includesSize));
        String unsupported = ProjectStore.unsupportedInFileName(path);
        if (status == KervStatus.BAD_ARGUMENT.code() && unsupported != null) {
            throw KervException.of("addFile", (int) status,
                    path + " holds " + unsupported + ", which the analysis library cannot keep in a file name");
        }
        StatusChecks.check("addFile", status, path);
    }

    /**
     * Brings the project in line with a compilation database ({@code compile_commands.json}, see
     * {@link CompileDatabase#read(Path)}): its files are added with their language, definitions and include folders;
     * a file the project holds with other settings is added again with the database's (so it is analysed again);
     * files the database does not name are removed; the rest are left as they are. Entries for files whose extension
     * the analysis library does not map ({@link LibraryInfo#fileExtensions()}), such as assembly sources, are left
     * out.
     *
     * <p>Each file is analysed as its compiler sees it: the compiler that its entry runs is asked for its predefined
     * macros with the entry's options that change them ({@code -std=}, {@code -m}, {@code -f}, {@code -O}...),
     * once per distinct compiler and options; the answer, less the entry's {@code -U}s and with the language
     * standard of its {@code -std=}, is kept as a compiler configuration file in the project folder
     * ({@code compilers/}) that the file's include list names last, and is asked again when the compiler's file
     * changes. The entry's own definitions win over the compiler's. A compiler that cannot be run or is not gcc-like
     * is named in one of the result's warnings, and its files are analysed without its macros.
     *
     * @param database the compilation database
     * @return what changed, with the count of entries left out for naming a file a second time with other settings
     *     and the warnings about compilers
     * @throws IllegalArgumentException when the database cannot be read as one, or names a file that is not a
     *     readable regular file; the project is then unchanged
     * @throws java.io.UncheckedIOException when the database cannot be read, or a compiler configuration cannot be
     *     written in the project folder
     * @throws KervException when the analysis library refuses a file
     */
    public CompileCommandsImport importCompileCommands(Path database) {
        Arguments.readableFile(database, "database");
        return importCompileCommands(database, CompileDatabase.read(database), file -> false);
    }

    /**
     * Does what {@link #importCompileCommands(Path)} does with a database already read, leaving out the files that
     * {@code excluded} accepts as if the database did not name them (a file the project holds is removed).
     *
     * @param database where the database was read from, for messages
     * @param read the database as {@link CompileDatabase#read(Path)} gives it
     * @param excluded accepts the absolute paths of the files to leave out
     * @return what changed, with the count of files left out
     * @throws IllegalArgumentException when the database names a file that is not a readable regular file and that is
     *     not left out; the project is then unchanged
     * @throws KervException when the analysis library refuses a file
     */
    public CompileCommandsImport importCompileCommands(Path database, CompileDatabase read, Predicate<Path> excluded) {
        return new CompileDatabaseSync(this, library.fileExtensions()).run(database, read, excluded);
    }

    /**
     * Brings the project in line with the C and C++ files of a folder, as {@link SourceFolder#scan} finds them with
     * the analysis library's extensions ({@link LibraryInfo#fileExtensions()}); see {@link #importFiles}.
     *
     * @param folder the source folder
     * @return the folder's files that the project holds, the files refused, and the counts of the changes
     * @throws IllegalArgumentException when the folder is not a folder
     * @throws UncheckedIOException when the folder cannot be read
     * @throws KervException when the analysis library cannot remove a file
     */
    public FolderImport importFolder(Path folder) {
        Objects.requireNonNull(folder, "folder");
        if (!Files.isDirectory(folder)) {
            throw new IllegalArgumentException("folder is not a folder: " + folder);
        }
        try {
            Path root = folder.toRealPath();
            return importFiles(root, SourceFolder.scan(root, library.fileExtensions(), file -> false));
        } catch (IOException e) {
            throw new UncheckedIOException("cannot read the folder " + folder, e);
        }
    }

    /**
     * Brings the project's files below a folder in line with a list of them: each listed file is added with its
     * language and no definitions or include folders, unless the project holds it; files below the folder that the
     * project holds and the list does not name are removed. Files elsewhere are left as they are.
     *
     * @param folder the folder, as the listed files' paths start
     * @param found the files the project is to hold below the folder
     * @return the listed files that the project holds, the files refused, and the counts of the changes
     * @throws KervException when the analysis library cannot remove a file
     */
    public FolderImport importFiles(Path folder, List<Path> found) {
        Objects.requireNonNull(folder, "folder");
        Set<Path> known = new HashSet<>(files());
        Map<Path, String> refused = new LinkedHashMap<>();
        int added = 0;
        for (Path file : found) {
            if (known.contains(file)) {
                continue;
            }
            try {
                addFile(file, SourceLanguage.ofFile(file), List.of(), List.of());
                added++;
            } catch (KervException | IllegalArgumentException e) {
                refused.put(file, e.getMessage());
            }
        }
        Set<Path> wanted = new HashSet<>(found);
        int removed = 0;
        for (Path file : known) {
            if (file.startsWith(folder) && !wanted.contains(file)) {
                removeFile(file);
                removed++;
            }
        }
        List<Path> files = found.stream().filter(file -> !refused.containsKey(file)).toList();
        return new FolderImport(files, refused, added, removed);
    }

    /**
     * Removes a file from the project.
     *
     * @param file the file
     * @throws KervException when the analysis library refuses (with the reference library,
     *     {@link KervStatus#FILE_NOT_IN_PROJECT} for a file the project does not hold)
     */
    public void removeFile(Path file) {
        String path = Arguments.path(file, "file");
        StatusChecks.check("removeFile", bridge.callOn(this, "removeFile", () -> KERVBridge.removeFile(path)), path);
    }

    /**
     * Returns the project's files, in the order they were added.
     *
     * @return the files; empty when there are none
     */
    public List<Path> files() {
        List<Path> files = new ArrayList<>();
        for (String file : FileDecoder.list(bridge.callOn(this, "getFiles", KERVBridge::getFiles))) {
            files.add(Path.of(file));
        }
        return List.copyOf(files);
    }

    /**
     * Returns the settings of one file of the project.
     *
     * @param file the file
     * @return its language, definitions and include folders; empty when the project does not hold the file
     */
    public Optional<SourceFile> file(Path file) {
        String path = Arguments.path(file, "file");
        return ResultDecoder.sourceFile(bridge.callOn(this, "getVQFile", () -> KERVBridge.getVQFile(path)));
    }

    /**
     * Adds a compiler configuration file to the project.
     *
     * @param cctFile the file
     * @throws IllegalArgumentException when it is not a readable regular file
     * @throws KervException when the analysis library refuses it
     */
    public void addCCT(Path cctFile) {
        String path = Arguments.readableFile(cctFile, "cctFile");
        StatusChecks.check("addCCT", bridge.callOn(this, "addCCT", () -> KERVBridge.addCCT(path)), path);
    }

    /**
     * Makes a compiler configuration file the active one for a language.
     *
     * @param language the language
     * @param cctFile the file, as added with {@link #addCCT(Path)}
     * @throws KervException when the analysis library refuses (with the reference library,
     *     {@link KervStatus#CCT_NOT_REGISTERED} for a file the project does not know)
     */
    public void setActiveCCT(SourceLanguage language, Path cctFile) {
        Objects.requireNonNull(language, "language");
        String path = Arguments.path(cctFile, "cctFile");
        StatusChecks.check("setActiveCCT",
                bridge.callOn(this, "setActiveCCT", () -> KERVBridge.setActiveCCT(language.number(), path)),
                path + " for " + language);
    }

    // ---- Analysis and results -----------------------------------------------------------------------------

    /**
     * Analyses the files whose results are missing or out of date, and returns when done.
     *
     * @return the files analysed and those left without up-to-date results, with the reason
     * @throws KervException when the analysis could not run at all: the analyser cannot be run
     *     ({@link KervStatus#ANALYZER_MISSING}), failed on every file it was given
     *     ({@link KervStatus#ANALYSIS_FAILED}), or no result could be saved ({@link KervStatus#WRITE_FAILED})
     */
    public AnalysisOutcome analyse() {
        return analyse(null);
    }

    /**
     * Analyses the files whose results are missing or out of date, and returns when done.
     *
     * <p>The listener receives each progress value (0 to 100) as the analysis library reports it, on the thread it
     * reports from, one value at a time. It must not call the session: such calls throw
     * {@link IllegalStateException}. An exception thrown by the listener does not stop the analysis; the listener
     * still receives the later values, and this method throws the first such exception when the analysis is done. A
     * listener that is an {@link AnalysisProgress} first hears how many files the analysis takes on.
     *
     * @param listener the progress listener, or {@code null} for none
     * @return the files analysed and those left without up-to-date results, with the reason
     * @throws KervException when the analysis could not run at all, as for {@link #analyse()}
     */
    public AnalysisOutcome analyse(IntConsumer listener) {
        ProgressRelay relay = listener == null ? null : new ProgressRelay(listener);
        AnalysisOutcome outcome = bridge.callOn(this, "aggregate", () -> Aggregation.run(this, relay));
        if (relay != null) {
            relay.rethrow();
        }
        return outcome;
    }

    /**
     * Analyses the files whose results are missing or out of date, as {@link #analyse(IntConsumer)} does, without
     * telling which: {@code analyse} asks the analysis library for the state of every file before and after, which in
     * a large project with few changed files costs more than the analysis. Ask {@link #hasUpToDateResults(Path)} for
     * the files that matter afterwards.
     *
     * @param listener the progress listener, or {@code null} for none; as for {@link #analyse(IntConsumer)}
     */
    public void refresh(IntConsumer listener) {
        ProgressRelay relay = listener == null ? null : new ProgressRelay(listener);
        bridge.callOn(this, "aggregate", () -> {
            KERVProgress.setListener(relay);
            try {
                KERVBridge.aggregate();
            } finally {
                KERVProgress.setListener(null);
            }
            return null;
        });
        if (relay != null) {
            relay.rethrow();
        }
    }

    /**
     * Closes the project in the analysis library when it is the open one, so that other processes may open it; the
     * next call on the project opens it again, reading what they changed. The analysis library closes a project only
     * when its API shuts down, so its API is shut down and started again.
     *
     * @throws KervException when the analysis library's API cannot be started again
     */
    public void release() {
        bridge.release(this);
    }

    /**
     * Tells whether the analysis library holds results for a file.
     *
     * @param file the file
     * @return whether it has results
     */
    public boolean hasResults(Path file) {
        String path = Arguments.path(file, "file");
        return bridge.callOn(this, "hasResults", () -> KERVBridge.hasResults(path));
    }

    /**
     * Tells whether a file's results are up to date.
     *
     * @param file the file
     * @return whether its results are up to date
     */
    public boolean hasUpToDateResults(Path file) {
        String path = Arguments.path(file, "file");
        return bridge.callOn(this, "hasUpToDateResults", () -> KERVBridge.hasUpToDateResults(path));
    }

    /**
     * Returns a file's diagnostics.
     *
     * @param file the file
     * @return the diagnostics in the analysis library's order, each with its sub-diagnostics and with its rule and
     *     severity from {@link #ruleCatalog()}; empty when the file has none, has no results or is not in the project
     */
    public List<Diagnostic> diagnostics(Path file) {
        RuleCatalog catalog = ruleCatalog();
        return ResultDecoder.diagnostics(diagnosticsXml(file), catalog);
    }

    /**
     * Returns the project's rules with their severities and the rule of each message, read from the analysis library
     * on the first call and kept for the rest of the session.
     *
     * @return the catalog
     */
    public RuleCatalog ruleCatalog() {
        RuleCatalog catalog = ruleCatalog;
        if (catalog == null) {
            catalog = new RuleCatalog(ruleGroups(), messageRuleMap());
            ruleCatalog = catalog;
        }
        return catalog;
    }

    /**
     * Returns a file's diagnostics as the compact result XML that the bridge gives, for programs that store or
     * forward it; {@link ResultDecoder#diagnostics(byte[])} decodes it.
     *
     * @param file the file
     * @return the XML in UTF-8; empty when the file has no diagnostics, has no results or is not in the project
     */
    public byte[] diagnosticsXml(Path file) {
        String path = Arguments.path(file, "file");
        return bridge.callOn(this, "getDiagnostics", () -> KERVBridge.getDiagnostics(path, null, null, 0));
    }

    /**
     * Returns the result trees of the files that count a diagnostic.
     *
     * @return the file, message and rule trees; empty when the analysis library has none
     */
    public Optional<Trees> trees() {
        return trees(false, List.of());
    }

    /**
     * Returns the result trees.
     *
     * @param everything with the reference library, true lists every file and rule, also those without diagnostics
     * @param restrictTo files or folders of the project that the trees are restricted to; none for the whole project
     * @return the file, message and rule trees; empty when the analysis library has none
     */
    public Optional<Trees> trees(boolean everything, List<Path> restrictTo) {
        return ResultDecoder.trees(treesXml(everything, restrictTo));
    }

    /**
     * Returns the result trees as the compact result XML that the bridge gives, for programs that store or forward
     * it; {@link ResultDecoder#trees(byte[])} decodes it.
     *
     * @param everything as for {@link #trees(boolean, List)}
     * @param restrictTo as for {@link #trees(boolean, List)}
     * @return the XML in UTF-8; empty when the analysis library has no trees
     */
    public byte[] treesXml(boolean everything, List<Path> restrictTo) {
        Objects.requireNonNull(restrictTo, "restrictTo");
        List<String> items = new ArrayList<>();
        for (Path item : restrictTo) {
            items.add(Arguments.path(item, "restrictTo"));
        }
        String joined = Arguments.items(items, "restrictTo");
        return bridge.callOn(this, "getTrees", () -> KERVBridge.getTrees(everything, items.size(), joined));
    }

    /**
     * Returns the rule groups with their rules.
     *
     * @return the groups; empty when the analysis library has none
     */
    public List<RuleGroup> ruleGroups() {
        return ResultDecoder.ruleGroups(bridge.callOn(this, "getRuleGroups", KERVBridge::getRuleGroups));
    }

    /**
     * Returns the map from message ids to the ids of the rules each message is mapped to.
     *
     * @return the map, in the analysis library's order; empty when it has none
     */
    public Map<String, List<String>> messageRuleMap() {
        return ResultDecoder.messageRuleMap(bridge.callOn(this, "getMessageRuleMap", KERVBridge::getMessageRuleMap));
    }
}
