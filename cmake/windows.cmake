# The Windows build (cross-compiled with cmake/mingw-w64-x86_64.cmake): the
# game as a windowed program with its icon and version information, the tool
# libraries the tests link, and the zip players download:
#   cmake --build build-win --target win_zip
# SKV_CONTENT_DIR names the data folder of a native build (the content tools
# run on the build machine, so the data files are the same bytes).
if(NOT IS_DIRECTORY "${SKV_CONTENT_DIR}")
  message(FATAL_ERROR "SKV_CONTENT_DIR must name a native build's data folder")
endif()
set(SKV_TOOL_DIRS ${CMAKE_SOURCE_DIR}/tools/fmpwriter ${CMAKE_SOURCE_DIR}/tools/music)

# Icon: the native build's icon pictures in one .ico.
enable_language(RC)
find_program(SKV_CONVERT convert REQUIRED)
set(SKV_ICO ${CMAKE_BINARY_DIR}/skarnvale.ico)
set(SKV_ICON_PNGS "")
foreach(size 16 32 48 64 128 256)
  list(APPEND SKV_ICON_PNGS ${SKV_DATA_DIR}/icons/skarnvale-${size}.png)
endforeach()
add_custom_command(OUTPUT ${SKV_ICO}
  COMMAND ${SKV_CONVERT} ${SKV_ICON_PNGS} ${SKV_ICO}
  DEPENDS ${SKV_ICON_PNGS}
  COMMENT "Packing the icon" VERBATIM)
set(SKV_MANIFEST ${CMAKE_SOURCE_DIR}/dist/windows/skarnvale.exe.manifest)
configure_file(${CMAKE_SOURCE_DIR}/dist/windows/skarnvale.rc.in ${CMAKE_BINARY_DIR}/skarnvale.rc @ONLY)
target_sources(skarnvale PRIVATE ${CMAKE_BINARY_DIR}/skarnvale.rc)
# The game is defined in game/: the icon is made by a target of this folder
# first, and the resource is compiled again when the icon or the manifest
# changes.
add_custom_target(skv_win_icon DEPENDS ${SKV_ICO})
add_dependencies(skarnvale skv_win_icon)
set_source_files_properties(${CMAKE_BINARY_DIR}/skarnvale.rc TARGET_DIRECTORY skarnvale
  PROPERTIES OBJECT_DEPENDS "${SKV_ICO};${SKV_MANIFEST}")
set_target_properties(skarnvale PROPERTIES WIN32_EXECUTABLE ON)

# The zip: game, data, README and licence texts in one folder; remade when
# one of them changes.
set(SKV_ZIP_NAME skarnvale-${PROJECT_VERSION}-win64)
set(SKV_ZIP ${CMAKE_BINARY_DIR}/${SKV_ZIP_NAME}.zip)
file(GLOB SKV_ZIP_DATA CONFIGURE_DEPENDS ${SKV_DATA_DIR}/*)
add_custom_command(OUTPUT ${SKV_ZIP}
  COMMAND ${CMAKE_COMMAND} -DGAME=$<TARGET_FILE:skarnvale> -DDATA=${SKV_DATA_DIR}
    -DSOURCE=${CMAKE_SOURCE_DIR} -DLICENCES=${SKV_WIN_PREFIX}/licences
    -DSTAGE=${CMAKE_BINARY_DIR}/${SKV_ZIP_NAME} -DZIP=${SKV_ZIP}
    -P ${CMAKE_SOURCE_DIR}/cmake/windows-zip.cmake
  DEPENDS skarnvale ${SKV_ZIP_DATA} ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
    ${CMAKE_SOURCE_DIR}/cmake/windows-zip.cmake
  COMMENT "Packing ${SKV_ZIP_NAME}.zip" VERBATIM)
add_custom_target(win_zip ALL DEPENDS ${SKV_ZIP})

# The zipped game under Wine in Xvfb, played like the Linux scenarios.
if(SKV_BUILD_TESTS)
  enable_testing()
  add_test(NAME e2e_windows_run COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/windows_run.sh)
  set_tests_properties(e2e_windows_run PROPERTIES LABELS e2e TIMEOUT 630
    ENVIRONMENT "SKV_WIN_ZIP=${SKV_ZIP};SKV_E2E_OUT=${CMAKE_BINARY_DIR}/e2e;SKV_E2E_LIMIT=600")
endif()

# Unit test folders built and run under Wine (tests/CMakeLists.txt).
set(SKV_WIN_TEST_DIRS support tilemap entities level audio screens)
