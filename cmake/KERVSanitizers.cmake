# Test environment for the sanitized build (-DKERV_SANITIZE=ON).
#
# C++ test binaries link the AddressSanitizer runtime themselves and keep its
# defaults (leak detection on, abort on the first report). A JVM is different:
# it is not linked against the runtime, it handles SIGSEGV, SIGBUS, SIGFPE and
# SIGILL itself, and LeakSanitizer cannot run inside it. Tests that run Java
# therefore get the runtime preloaded and these options:
#
#   KERV_JVM_TEST_ENV          ENVIRONMENT list for tests made with add_test
#                              that start `java`; apply it with
#                              kerv_mark_jvm_tests(<test>...).
#   KERV_JVM_GTEST_PROPERTIES  arguments for gtest_discover_tests of GoogleTest
#                              binaries that create a JVM in-process:
#                              gtest_discover_tests(t PROPERTIES ${KERV_JVM_GTEST_PROPERTIES})
#                              (such a binary links the runtime, so only the
#                              options are needed; gtest_discover_tests cannot
#                              carry more than one ENVIRONMENT entry).
#
# In both builds kerv_mark_jvm_tests labels every JVM test "jvm" (so
# `ctest -L jvm` selects them) and fails it on any JNI report of -Xcheck:jni.

# Reports of every process, children of the tests included, are also written
# to files in KERV_SANITIZER_LOG_DIR (scripts/test.sh points the C++ tests
# there too and fails when the folder is not empty afterwards), so a report
# from a process whose exit status nobody checks is not lost.
set(KERV_SANITIZER_LOG_DIR ${CMAKE_BINARY_DIR}/sanitizer-reports)
set(KERV_JVM_ASAN_OPTIONS
    "detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:allow_user_segv_handler=1:log_path=${KERV_SANITIZER_LOG_DIR}/asan")
set(KERV_JVM_TEST_ENV "")
set(KERV_JVM_GTEST_PROPERTIES LABELS jvm)

if(KERV_SANITIZE)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(_kerv_asan_runtime_name libclang_rt.asan-${CMAKE_SYSTEM_PROCESSOR}.so)
  else()
    set(_kerv_asan_runtime_name libasan.so)
  endif()
  execute_process(
    COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_kerv_asan_runtime_name}
    OUTPUT_VARIABLE KERV_ASAN_RUNTIME
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${KERV_ASAN_RUNTIME}" OR NOT EXISTS "${KERV_ASAN_RUNTIME}")
    message(FATAL_ERROR "AddressSanitizer runtime ${_kerv_asan_runtime_name} not found (got '${KERV_ASAN_RUNTIME}')")
  endif()
  set(KERV_JVM_TEST_ENV "LD_PRELOAD=${KERV_ASAN_RUNTIME}" "ASAN_OPTIONS=${KERV_JVM_ASAN_OPTIONS}")
  list(APPEND KERV_JVM_GTEST_PROPERTIES ENVIRONMENT "ASAN_OPTIONS=${KERV_JVM_ASAN_OPTIONS}")
endif()

# -Xcheck:jni reports misuse as warnings and still lets the JVM exit with 0:
# any such report fails the test, and so does any other warning of the JVM
# (such as a restricted method called without native access).
set(KERV_JNI_REPORT_PATTERN "WARNING in native method;WARNING:;FATAL ERROR in native method")

function(kerv_mark_jvm_tests)
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS jvm)
  set_property(TEST ${ARGN} PROPERTY FAIL_REGULAR_EXPRESSION "${KERV_JNI_REPORT_PATTERN}")
  if(KERV_JVM_TEST_ENV)
    set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT ${KERV_JVM_TEST_ENV})
  endif()
endfunction()
