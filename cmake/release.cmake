# What a Windows user gets: version details in both programs, and the zip of
# `cmake --build --preset windows --target package`.

function(plyx_version_resource program description)
  set(PLYX_PROGRAM ${program})
  set(PLYX_FILE_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${CMAKE_BINARY_DIR}/${program}-version.rc @ONLY)
  target_sources(${program} PRIVATE ${CMAKE_BINARY_DIR}/${program}-version.rc)
endfunction()
plyx_version_resource(plyx "PLYX file splitter")
plyx_version_resource(plyx-split "PLYX file splitter for the command line")

# Notepad before Windows 10 shows a text with bare LF line ends as one line.
configure_file(${PROJECT_SOURCE_DIR}/resources/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS plyx plyx-split RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/PLYX.chm ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
# Flat, so that Explorer's "Extract All" into a folder of the zip's name does
# not nest a second folder of the same name inside it.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(plyx_zip plyx-${PROJECT_VERSION}-win64)
else()
  set(plyx_zip plyx-${PROJECT_VERSION}-win32)
endif()
set(CPACK_PACKAGE_FILE_NAME ${plyx_zip})
include(CPack)

if(BUILD_TESTING)
  add_test(NAME package.UnpackedAnywhereItStartsAndFindsItsHelp
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DZIP=${CMAKE_BINARY_DIR}/${plyx_zip}.zip
                   -DWINE=${PLYX_WINE} -DDRIVER=$<TARGET_FILE:plyx-e2e>
                   -P ${PROJECT_SOURCE_DIR}/tests/package/unpacked_start_test.cmake)
  set_tests_properties(package.UnpackedAnywhereItStartsAndFindsItsHelp PROPERTIES TIMEOUT 300)
endif()
