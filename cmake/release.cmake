# Usage: cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DX64_DIR=... -DVERSION=... -P cmake/release.cmake
# Lays out the release folder Vokabra-VERSION and packs it as Vokabra-VERSION.zip: the 32-bit
# DLL (from BINARY_DIR) and the 64-bit one (from X64_DIR), each under the same name in x86/
# and x64/ with its MapBasic declarations as Vokabra.def, the dictionary tool, documentation and
# examples.
set(name Vokabra-${VERSION})
set(stage ${BINARY_DIR}/release/${name})
file(REMOVE_RECURSE ${BINARY_DIR}/release)
file(MAKE_DIRECTORY ${stage}/docs ${stage}/examples ${stage}/x86 ${stage}/x64)
if(NOT EXISTS ${X64_DIR}/Vokabra.dll)
  message(FATAL_ERROR "no 64-bit DLL in ${X64_DIR}: build the win64 preset first")
endif()
file(COPY ${BINARY_DIR}/Vokabra.dll DESTINATION ${stage}/x86)
file(COPY ${X64_DIR}/Vokabra.dll DESTINATION ${stage}/x64)
configure_file(${SOURCE_DIR}/examples/Vokabra.def ${stage}/x86/Vokabra.def COPYONLY)
configure_file(${SOURCE_DIR}/examples/Vokabra64.def ${stage}/x64/Vokabra.def COPYONLY)
file(COPY ${SOURCE_DIR}/README.md DESTINATION ${stage})
if(EXISTS ${BINARY_DIR}/vok.exe)
  file(COPY ${BINARY_DIR}/vok.exe DESTINATION ${stage})
endif()
file(GLOB docs ${SOURCE_DIR}/docs/*.md)
file(GLOB examples ${SOURCE_DIR}/examples/*)
file(COPY ${docs} DESTINATION ${stage}/docs)
file(COPY ${examples} DESTINATION ${stage}/examples)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${BINARY_DIR}/${name}.zip --format=zip ${name}
                WORKING_DIRECTORY ${BINARY_DIR}/release RESULT_VARIABLE packed)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "could not pack ${name}.zip")
endif()
message(STATUS "release: ${BINARY_DIR}/${name}.zip")
