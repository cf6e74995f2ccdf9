package com.quorvel.bridge.client;

/**
 * One element of the compact result format, named by a {@link Tags} constant, with its opening and closing tags and
 * whether the writers put its text in verbatim ({@link Tags#VERBATIM}).
 */
final class ElementTag {
    final ByteLiteral open;
    final ByteLiteral close;
    final boolean verbatim;

    ElementTag(String name) {
        open = new ByteLiteral("<" + name + ">");
        close = new ByteLiteral("</" + name + ">");
        verbatim = Tags.VERBATIM.contains(name);
    }
}
