#!/usr/bin/env bash
# Lays the client out in a Maven repository folder (target KervMavenTestRepository),
# checks the checksums and the pom's dependencies, then builds a small program
# that depends on the client by its coordinates with Maven (plugins and
# dependencies from Debian's /usr/share/maven-repo, no network) and runs it
# with -Xcheck:jni: it must analyse a C file with the bundled library.
# Usage: maven-artifact-test.sh <build-folder> <repository> <version> <java> <README> [<g:a:v> of each dependency...]
set -euo pipefail
trap 'echo "failed at line $LINENO: $BASH_COMMAND" >&2' ERR
build=$1 repository=$(realpath -m "$2") version=$3 java=$4 readme=$5
shift 5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -rf "$repository"
cmake --build "$build" --target KervMavenTestRepository >"$work/layout.log" || { cat "$work/layout.log"; exit 1; }
artifact=$repository/com/quorvel/bridge/kerv-client
for suffix in .jar -sources.jar -javadoc.jar .pom; do
    file=$artifact/$version/kerv-client-$version$suffix
    [ "$(sha1sum <"$file" | cut -d' ' -f1)" = "$(cat "$file.sha1")" ] || { echo "bad checksum of $file" >&2; exit 1; }
done
grep -q "<version>$version</version>" "$artifact/maven-metadata-local.xml"
grep -qx 'module-info.java' <<<"$(unzip -Z1 "$artifact/$version/kerv-client-$version-sources.jar")"
grep -qx 'index.html' <<<"$(unzip -Z1 "$artifact/$version/kerv-client-$version-javadoc.jar")"
classpath=$artifact/$version/kerv-client-$version.jar
for coordinates in "$@"; do
    IFS=: read -r group name dependency_version <<<"$coordinates"
    grep -q "<artifactId>$name</artifactId>" "$artifact/$version/kerv-client-$version.pom" \
        || { echo "the pom does not declare $coordinates" >&2; exit 1; }
    classpath+=:$repository/${group//.//}/$name/$dependency_version/$name-$dependency_version.jar
done

mkdir -p "$work/app/src/main/java" "$work/run/src"
sed -n '/^## Use from Java/,/^## /p' "$readme" | sed -n '/^```java$/,/^```$/p' | sed '1d;$d' \
    >"$work/app/src/main/java/App.java"
cat >"$work/app/pom.xml" <<POM
<project xmlns="http://maven.apache.org/POM/4.0.0">
  <modelVersion>4.0.0</modelVersion>
  <groupId>example</groupId>
  <artifactId>app</artifactId>
  <version>1</version>
  <properties>
    <maven.compiler.release>17</maven.compiler.release>
    <project.build.sourceEncoding>UTF-8</project.build.sourceEncoding>
  </properties>
  <dependencies>
    <dependency>
      <groupId>com.quorvel.bridge</groupId>
      <artifactId>kerv-client</artifactId>
      <version>$version</version>
    </dependency>
  </dependencies>
  <build>
    <plugins>
      <plugin><artifactId>maven-compiler-plugin</artifactId><version>3.10.1</version></plugin>
      <plugin><artifactId>maven-resources-plugin</artifactId><version>3.3.0</version></plugin>
    </plugins>
  </build>
</project>
POM
cat >"$work/settings.xml" <<SETTINGS
<settings>
  <localRepository>$repository</localRepository>
  <mirrors><mirror><id>debian</id><mirrorOf>*</mirrorOf><url>file:///usr/share/maven-repo</url></mirror></mirrors>
</settings>
SETTINGS
(cd "$work/app" && mvn -B -q -s "$work/settings.xml" compile) || { echo "Maven could not build against the artifact" >&2; exit 1; }

printf 'int main(void) {\n    int *p = 0;\n    return *p;\n}\n' >"$work/run/src/bug.c"
(cd "$work/run" && XDG_CACHE_HOME=$work/cache "$java" -Xcheck:jni --enable-native-access=ALL-UNNAMED \
    -cp "$classpath:$work/app/target/classes" App) | tee "$work/output.txt"
grep -q '^3 nullPointer ' "$work/output.txt"
echo "kerv-client $version from $repository: built by Maven and run"
