package com.quorvel.bridge.client;

/**
 * The folders and files of the analysis library's installation and of its user.
 *
 * @param install the installation folder
 * @param installConfig the installation's configuration folder
 * @param installBinary the installation's binary folder
 * @param user the user's folder
 * @param userConfig the user's configuration folder
 * @param userAppConfig the user's application configuration
 */
public record InstallPaths(
        String install,
        String installConfig,
        String installBinary,
        String user,
        String userConfig,
        String userAppConfig) {}
