# Usage: cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DVERSION=... -P cmake/release.cmake
# Lays out the release folder Vokabra-VERSION (the DLL, its MapBasic declarations, the
# dictionary tool, documentation and examples) and packs it as Vokabra-VERSION.zip.
set(name Vokabra-${VERSION})
set(stage ${BINARY_DIR}/release/${name})
file(REMOVE_RECURSE ${BINARY_DIR}/release)
file(MAKE_DIRECTORY ${stage}/docs ${stage}/examples)
file(COPY ${BINARY_DIR}/Vokabra.dll ${SOURCE_DIR}/README.md DESTINATION ${stage})
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
