#!/usr/bin/env bash
# Makes the Debian package with CPack, unpacks it with dpkg into an empty
# temporary root (its own dpkg database; the maintainer scripts, which only
# run ldconfig, are left out), then runs `kerv examples` from that root on
# each JDK given, with -Xcheck:jni, under the C locale of CI containers: the
# installed bridge and analysis library must be used (nothing unpacked to a
# cache) and the findings shown, those of a file with a UTF-8 name included;
# then `kerv lsp` answers a language client and ends cleanly.
# Usage: debian-package-test.sh <build-folder> <source-folder> <java>...
set -euo pipefail
trap 'echo "failed at line $LINENO: $BASH_COMMAND" >&2' ERR
build=$(realpath "$1") source=$(realpath "$2")
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# In the sanitized build the test's environment preloads the sanitizer's
# runtime for the JVM; CPack and dpkg must not run with it (CPack's threaded
# compression hangs under it).
(cd "$build" && env -u LD_PRELOAD cpack -G DEB -B "$work/packages" >"$work/cpack.log") ||
    { cat "$work/cpack.log"; exit 1; }
package=$(echo "$work"/packages/kerv_*_amd64.deb)
dpkg-deb -f "$package" Depends | grep -q cppcheck

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
env -u LD_PRELOAD dpkg --root="$root" --force-depends --unpack "$package"
env -u LD_PRELOAD dpkg --root="$root" -L kerv | grep -qx /usr/bin/kerv

cp -r "$source/examples" "$work/examples"
utf8_name=caf$(printf '\303\251').c
printf 'int f(void) {\n    int *p = 0;\n    return *p;\n}\n' >"$work/examples/src/$utf8_name"
# One message of the language server protocol, framed (the bodies here are ASCII).
frame() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }

for java in "$@"; do
    home=$work/home-$(basename "$(dirname "$(dirname "$java")")")
    mkdir -p "$home"
    status=0
    (cd "$work" && env -u KERV_LIBRARY -u LC_CTYPE LC_ALL=C LANG=C HOME="$home" XDG_CACHE_HOME="$home/cache" \
        XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" JAVA="$java" KERV_JAVA_OPTIONS=-Xcheck:jni \
        "$root/usr/bin/kerv" examples) >"$home/output.txt" 2>&1 || status=$?
    cat "$home/output.txt"
    [ "$status" -eq 1 ] || { echo "kerv examples exited with $status on $java, not 1 (findings)" >&2; exit 1; }
    grep -q '^src/main.c:8:[0-9]*: error: .*\[nullPointer\]$' "$home/output.txt"
    grep -q "^src/$utf8_name:3:13: error: Null pointer dereference: p \\[nullPointer\\]\$" "$home/output.txt"
    [ ! -e "$home/cache/kerv" ] || { echo "the installed bridge was not used on $java" >&2; exit 1; }
    echo "kerv examples from the package ran on $java"

    # `kerv lsp` is the language server: initialize, shutdown and exit end it with status 0.
    lsp_status=0
    { frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
      frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
      frame '{"jsonrpc":"2.0","method":"exit"}'; } |
        env -u KERV_LIBRARY HOME="$home" XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data" \
            XDG_CONFIG_HOME="$home/config" JAVA="$java" KERV_JAVA_OPTIONS=-Xcheck:jni "$root/usr/bin/kerv" lsp \
            >"$home/lsp.txt" 2>&1 || lsp_status=$?
    [ "$lsp_status" -eq 0 ] || { cat "$home/lsp.txt"; echo "kerv lsp exited with $lsp_status on $java" >&2; exit 1; }
    grep -q '"serverInfo":{"name":"kerv"' "$home/lsp.txt"
    echo "kerv lsp from the package ran on $java"
done
