# Builds kerv-client.jar from the classes jar and the natives (cmake -P).
# Variables: CLASSES_JAR, OUTPUT_JAR, STAGING (a scratch folder), BRIDGE and
# ANALYSIS (the two shared libraries), CONFIG (list of default configuration
# files), JAR_TOOL, and STRIP (optional: strips the copies of their debug
# information, which the jar does not need).
set(platform_folder native/linux-x86_64)
set(folder ${STAGING}/${platform_folder})
file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${folder}/config)
file(COPY ${BRIDGE} ${ANALYSIS} DESTINATION ${folder})
file(COPY ${CONFIG} DESTINATION ${folder}/config)
if(STRIP)
  foreach(library ${BRIDGE} ${ANALYSIS})
    get_filename_component(name ${library} NAME)
    execute_process(COMMAND ${STRIP} --strip-debug ${folder}/${name} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()

# One "<sha256>  <path>" line per file, paths relative to the platform folder.
file(GLOB_RECURSE packed RELATIVE ${folder} ${folder}/*)
list(SORT packed)
set(checksums "")
foreach(path IN LISTS packed)
  file(SHA256 ${folder}/${path} sum)
  string(APPEND checksums "${sum}  ${path}\n")
endforeach()
file(WRITE ${folder}/SHA256SUMS "${checksums}")

file(COPY_FILE ${CLASSES_JAR} ${OUTPUT_JAR}.part)
execute_process(COMMAND ${JAR_TOOL} uf ${OUTPUT_JAR}.part -C ${STAGING} ${platform_folder}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT_JAR}.part)
  message(FATAL_ERROR "jar uf failed (${status})")
endif()
file(RENAME ${OUTPUT_JAR}.part ${OUTPUT_JAR})
