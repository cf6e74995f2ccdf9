package com.quorvel.bridge.test;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.BeforeEach;

/** Base of the test classes that run with the full stand-in library loaded through initJniBridge. */
abstract class StandInTest {
    @BeforeAll
    static void load() {
        BridgeFixture.loadStandIn();
    }

    @BeforeEach
    void fresh() {
        BridgeFixture.freshCall();
    }
}
