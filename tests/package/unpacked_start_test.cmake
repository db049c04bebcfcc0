# The release zip, unpacked into a fresh folder with a blank in its name: it
# holds exactly the four files, its README has CR LF line ends, and the
# plyx.exe found there opens its main window and its help file (the Help
# journey of the e2e driver, pointed at it); both programs carry the manifest.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building the package failed:\n${output}")
endif()

set(folder "${BUILD_DIR}/package test/a fresh folder")
file(REMOVE_RECURSE "${BUILD_DIR}/package test")
file(MAKE_DIRECTORY "${folder}")
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION "${folder}")
file(GLOB unpacked RELATIVE "${folder}" "${folder}/*")
list(SORT unpacked)
if(NOT unpacked STREQUAL "PLYX.chm;README.txt;plyx-split.exe;plyx.exe")
  message(FATAL_ERROR "the zip holds: ${unpacked}")
endif()
# As bytes: a text read drops the CRs.
file(READ "${folder}/README.txt" readme HEX)
string(REGEX REPLACE "(..)" "\\1;" readme "${readme}")
string(REPLACE "0d;0a;" "" readme "${readme}")
if(readme MATCHES "(^|;)0a;")
  message(FATAL_ERROR "README.txt has a line that does not end in CR LF")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env "PLYX_EXE=${folder}/plyx.exe"
                        ${WINE} ${DRIVER} --gtest_filter=Window.HelpOpensTheHelpViewerOrNamesTheMissingFile:Package.BothProgramsCarryTheManifest
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
# A renamed journey would make the filter match nothing, and that passes.
if(NOT result EQUAL 0 OR NOT output MATCHES "PASSED  \\] 2 tests")
  message(FATAL_ERROR "the unpacked plyx.exe failed its journeys")
endif()
