# Lays out one artifact in a Maven repository folder (cmake -P), as a local
# install does: <group path>/<artifact>/<version>/ with the jar, -sources.jar,
# -javadoc.jar and .pom, a .sha1 beside each, and <artifact>/
# maven-metadata-local.xml listing every version laid out there.
# Variables: REPOSITORY, GROUP, ARTIFACT, VERSION, DESCRIPTION, JAR,
# SOURCE_ROOTS (source folders: their module-info.java and the *.java files
# under their com/ make the sources jar), JAVADOC_DIR, DEPENDENCIES
# (<groupId>:<artifactId>:<version> of each dependency), STAGING, JAR_TOOL.
# SOURCE_ROOTS and DEPENDENCIES separate their entries with "|".
string(REPLACE "." "/" group_path "${GROUP}")
set(artifact_dir ${REPOSITORY}/${group_path}/${ARTIFACT})
set(version_dir ${artifact_dir}/${VERSION})
string(REPLACE "|" ";" SOURCE_ROOTS "${SOURCE_ROOTS}")
string(REPLACE "|" ";" DEPENDENCIES "${DEPENDENCIES}")
set(base ${version_dir}/${ARTIFACT}-${VERSION})
file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${STAGING}/sources ${version_dir})

function(make_jar output folder)
  execute_process(COMMAND ${JAR_TOOL} --create --file ${output} -C ${folder} . RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "jar --create ${output} failed (${status})")
  endif()
endfunction()

foreach(root IN LISTS SOURCE_ROOTS)
  file(GLOB_RECURSE sources RELATIVE ${root} ${root}/module-info.java ${root}/com/*.java)
  foreach(source IN LISTS sources)
    get_filename_component(folder ${source} DIRECTORY)
    file(COPY ${root}/${source} DESTINATION ${STAGING}/sources/${folder})
  endforeach()
endforeach()
make_jar(${STAGING}/sources.jar ${STAGING}/sources)
make_jar(${STAGING}/javadoc.jar ${JAVADOC_DIR})

set(dependencies "")
foreach(coordinates IN LISTS DEPENDENCIES)
  string(REPLACE ":" ";" fields "${coordinates}")
  list(LENGTH fields count)
  if(NOT count EQUAL 3)
    message(FATAL_ERROR "dependency ${coordinates} is not <groupId>:<artifactId>:<version>")
  endif()
  list(GET fields 0 dependency_group)
  list(GET fields 1 dependency_artifact)
  list(GET fields 2 dependency_version)
  string(APPEND dependencies "    <dependency>
      <groupId>${dependency_group}</groupId>
      <artifactId>${dependency_artifact}</artifactId>
      <version>${dependency_version}</version>
    </dependency>
")
endforeach()
file(WRITE ${STAGING}/pom.xml "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<project xmlns=\"http://maven.apache.org/POM/4.0.0\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"
         xsi:schemaLocation=\"http://maven.apache.org/POM/4.0.0 https://maven.apache.org/xsd/maven-4.0.0.xsd\">
  <modelVersion>4.0.0</modelVersion>
  <groupId>${GROUP}</groupId>
  <artifactId>${ARTIFACT}</artifactId>
  <version>${VERSION}</version>
  <packaging>jar</packaging>
  <name>${ARTIFACT}</name>
  <description>${DESCRIPTION}</description>
  <properties>
    <maven.compiler.release>17</maven.compiler.release>
  </properties>
  <dependencies>
${dependencies}  </dependencies>
</project>
")

foreach(pair "${JAR}|.jar" "${STAGING}/sources.jar|-sources.jar" "${STAGING}/javadoc.jar|-javadoc.jar"
             "${STAGING}/pom.xml|.pom")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 input)
  list(GET pair 1 suffix)
  file(COPY_FILE ${input} ${base}${suffix})
  file(SHA1 ${base}${suffix} sum)
  file(WRITE ${base}${suffix}.sha1 "${sum}")
endforeach()

# Keep the versions laid out before; the newest version laid out is the release.
set(metadata ${artifact_dir}/maven-metadata-local.xml)
set(versions ${VERSION})
if(EXISTS ${metadata})
  file(READ ${metadata} old)
  string(REGEX MATCHALL "<version>[^<]+</version>" old_versions "${old}")
  foreach(entry IN LISTS old_versions)
    string(REGEX REPLACE "</?version>" "" entry "${entry}")
    list(APPEND versions ${entry})
  endforeach()
  list(REMOVE_DUPLICATES versions)
endif()
list(SORT versions COMPARE NATURAL)
set(version_lines "")
foreach(entry IN LISTS versions)
  string(APPEND version_lines "      <version>${entry}</version>\n")
endforeach()
string(TIMESTAMP updated "%Y%m%d%H%M%S" UTC)
file(WRITE ${metadata} "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<metadata>
  <groupId>${GROUP}</groupId>
  <artifactId>${ARTIFACT}</artifactId>
  <versioning>
    <latest>${VERSION}</latest>
    <release>${VERSION}</release>
    <versions>
${version_lines}    </versions>
    <lastUpdated>${updated}</lastUpdated>
  </versioning>
</metadata>
")
message(STATUS "${GROUP}:${ARTIFACT}:${VERSION} laid out in ${REPOSITORY}")
