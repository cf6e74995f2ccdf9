# JVM tests on every JDK at hand: the build's JDK (17 or later) and, when one
# is found, JDK 25. kerv_add_jvm_test() adds one test per JDK, each run with
# -Xcheck:jni; any "WARNING:" line of the JVM (a JNI report, a restricted
# method called without native access) fails it.
#
# JDK 25 is the JDK named by the cache variable or environment variable
# KERV_JDK25 (its home folder), else the first /usr/lib/jvm/*25* that has
# bin/java. The sanitized build runs its JVM tests on the build's JDK only
# (KERV_JVM_TESTS_JDK25 defaults to OFF there): the instrumented natives are
# the same on both JDKs, and a second round under AddressSanitizer doubles
# the slowest stage of CI.
find_package(Java 17 REQUIRED COMPONENTS Runtime)

set(KERV_JDK25 "$ENV{KERV_JDK25}" CACHE PATH "Home folder of a JDK 25 that the JVM tests run on as well")
if(KERV_SANITIZE)
  option(KERV_JVM_TESTS_JDK25 "Run the JVM tests on JDK 25 as well when it is found" OFF)
else()
  option(KERV_JVM_TESTS_JDK25 "Run the JVM tests on JDK 25 as well when it is found" ON)
endif()

set(_kerv_jdk25_java "")
if(KERV_JDK25)
  if(NOT EXISTS "${KERV_JDK25}/bin/java")
    message(FATAL_ERROR "KERV_JDK25=${KERV_JDK25} has no bin/java")
  endif()
  set(_kerv_jdk25_java "${KERV_JDK25}/bin/java")
else()
  file(GLOB _kerv_jdk25_candidates LIST_DIRECTORIES true /usr/lib/jvm/*25*)
  foreach(home IN LISTS _kerv_jdk25_candidates)
    if(EXISTS "${home}/bin/java")
      set(_kerv_jdk25_java "${home}/bin/java")
      break()
    endif()
  endforeach()
endif()

# Pairs "<test name suffix>|<java>": the build's JDK keeps the plain test names.
set(KERV_JVM_TEST_JDKS "|${Java_JAVA_EXECUTABLE}")
set(KERV_JVM_TEST_JDK_NAMES "JDK ${Java_VERSION_STRING} (${Java_JAVA_EXECUTABLE})")
if(NOT _kerv_jdk25_java)
  set(_kerv_jdk25_status "JDK 25 was not found (set KERV_JDK25 to its home folder)")
elseif(NOT KERV_JVM_TESTS_JDK25)
  set(_kerv_jdk25_status "JDK 25 (${_kerv_jdk25_java}) is left out (KERV_JVM_TESTS_JDK25=OFF)")
else()
  list(APPEND KERV_JVM_TEST_JDKS ".jdk25|${_kerv_jdk25_java}")
  list(APPEND KERV_JVM_TEST_JDK_NAMES "JDK 25 (${_kerv_jdk25_java})")
  set(_kerv_jdk25_status "")
endif()
string(JOIN " and " _kerv_jdk_list ${KERV_JVM_TEST_JDK_NAMES})
message(STATUS "JVM tests run on ${_kerv_jdk_list}")
if(_kerv_jdk25_status)
  message(STATUS "JVM tests: ${_kerv_jdk25_status}")
endif()
# Read by scripts/check-jdks.sh, which reports in CI which JDKs the tests ran on.
file(WRITE ${CMAKE_BINARY_DIR}/jvm-test-jdks.txt "JVM tests run on ${_kerv_jdk_list}\n${_kerv_jdk25_status}\n")

# kerv_add_jvm_test(NAME <name> [TIMEOUT <seconds>] [NATIVE_ACCESS_FROM_MANIFEST] ARGS <java arguments>...)
# Adds <name> on the build's JDK and <name>.jdk25 on JDK 25, each running
# `java -Xcheck:jni --enable-native-access=ALL-UNNAMED <java arguments>`
# (without the native access option for a jar whose manifest grants it).
# "{test}" in the arguments stands for the test's name, for folders of its own.
function(kerv_add_jvm_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "NATIVE_ACCESS_FROM_MANIFEST" "NAME;TIMEOUT" "ARGS;ENVIRONMENT")
  set(native_access --enable-native-access=ALL-UNNAMED)
  if(arg_NATIVE_ACCESS_FROM_MANIFEST)
    set(native_access)
  endif()
  foreach(jdk IN LISTS KERV_JVM_TEST_JDKS)
    string(REPLACE "|" ";" jdk "${jdk}")
    list(GET jdk 0 suffix)
    list(GET jdk 1 java)
    set(test ${arg_NAME}${suffix})
    string(REPLACE "{test}" "${test}" args "${arg_ARGS}")
    add_test(NAME ${test} COMMAND ${java} -Xcheck:jni ${native_access} ${args})
    if(arg_TIMEOUT)
      set_tests_properties(${test} PROPERTIES TIMEOUT ${arg_TIMEOUT})
    endif()
    if(arg_ENVIRONMENT)
      string(REPLACE "{test}" "${test}" environment "${arg_ENVIRONMENT}")
      set_tests_properties(${test} PROPERTIES ENVIRONMENT "${environment}")
    endif()
    kerv_mark_jvm_tests(${test})
  endforeach()
endfunction()
