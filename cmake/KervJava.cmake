# Java for the client, the command line, their tests and benchmarks: the JDK
# (17 or later) with its JNI headers and libjvm, UseJava's add_jar(), and,
# when the tests are built, the JUnit 5 console launcher that runs the JVM
# tests and kerv_add_jvm_test() (KervJvmTests.cmake), which runs each with
# -Xcheck:jni.

# Find the JDK without help: when JAVA_HOME is set neither as a CMake variable
# nor in the environment, derive it from the javac on PATH (which is usually a
# chain of symbolic links into the JDK's bin folder).
if(NOT JAVA_HOME AND NOT DEFINED ENV{JAVA_HOME})
  find_program(KERV_JAVAC_EXECUTABLE javac)
  if(KERV_JAVAC_EXECUTABLE)
    file(REAL_PATH "${KERV_JAVAC_EXECUTABLE}" _kerv_javac_real)
    get_filename_component(_kerv_jdk_bin "${_kerv_javac_real}" DIRECTORY)
    get_filename_component(_kerv_jdk_home "${_kerv_jdk_bin}" DIRECTORY)
    set(JAVA_HOME "${_kerv_jdk_home}" CACHE PATH "JDK used for the Java classes and the JNI headers")
  endif()
endif()

find_package(Java 17 REQUIRED COMPONENTS Development Runtime)
find_package(JNI REQUIRED COMPONENTS JVM)
include(UseJava)

if(KERV_BUILD_TESTS)
  set(KERV_JUNIT_CONSOLE /usr/share/java/junit-platform-console-standalone.jar)
  if(NOT EXISTS ${KERV_JUNIT_CONSOLE})
    message(FATAL_ERROR "JUnit 5 console launcher not found at ${KERV_JUNIT_CONSOLE} (Debian package junit5)")
  endif()
  include(${CMAKE_CURRENT_LIST_DIR}/KervJvmTests.cmake)
endif()
