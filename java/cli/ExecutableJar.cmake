# Builds the executable kerv.jar (cmake -P) by merging jars into one.
# Variables: JARS (list: the command line, the client with its natives, the client's dependencies),
# OUTPUT_JAR, STAGING (a scratch folder), MAIN_CLASS and JAR_TOOL.
#
# The merged jar runs on the class path, so the module descriptors and the signatures of the inputs
# are left out (a signature would no longer match the merged jar), and so are their manifests: the
# new manifest names the main class and grants native access to the class path.
set(content ${STAGING}/content)
file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${content})
foreach(jar IN LISTS JARS)
  file(ARCHIVE_EXTRACT INPUT ${jar} DESTINATION ${content})
  file(GLOB_RECURSE dropped ${content}/module-info.class ${content}/META-INF/MANIFEST.MF ${content}/META-INF/*.SF
       ${content}/META-INF/*.RSA ${content}/META-INF/*.DSA ${content}/META-INF/*.EC)
  if(dropped)
    file(REMOVE ${dropped})
  endif()
endforeach()

set(manifest "Main-Class: ${MAIN_CLASS}\nEnable-Native-Access: ALL-UNNAMED\n")
if(IS_DIRECTORY ${content}/META-INF/versions)
  string(APPEND manifest "Multi-Release: true\n")
endif()
file(WRITE ${STAGING}/MANIFEST.MF "${manifest}")

execute_process(COMMAND ${JAR_TOOL} --create --file ${OUTPUT_JAR}.part --manifest ${STAGING}/MANIFEST.MF
                        -C ${content} .
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT_JAR}.part)
  message(FATAL_ERROR "jar --create failed (${status})")
endif()
file(RENAME ${OUTPUT_JAR}.part ${OUTPUT_JAR})
