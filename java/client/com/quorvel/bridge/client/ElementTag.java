package com.quorvel.bridge.client;

/** One element of the compact result format, named by a {@link Tags} constant, with its opening and closing tags. */
final class ElementTag {
    final ByteLiteral open;
    final ByteLiteral close;

    ElementTag(String name) {
        open = new ByteLiteral("<" + name + ">");
        close = new ByteLiteral("</" + name + ">");
    }
}
