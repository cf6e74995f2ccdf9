package com.quorvel.bridge.test;

/**
 * The texts the bridge's writers make of records built from fuzz input, as the writers' fuzz target builds them,
 * through the test library named by the system property {@code kerv.test.writerTexts}.
 */
final class WriterTexts {
    static {
        System.load(System.getProperty("kerv.test.writerTexts"));
    }

    private WriterTexts() {}

    /**
     * Builds records from the input and writes them as the bridge returns them.
     *
     * @return the family of the writer in the first byte (0 diagnostics, 1 rule groups, 2 message-rule map, 3 trees,
     *     4 file, 5 languages), then the text, which is empty for null records
     */
    static native byte[] write(byte[] input);
}
