# The stages of the build, read from tools/maps/stages.def (the one list,
# which the map generator and the benchmarks include too): SKV_STAGES holds
# the file stems of its SKV_STAGE rows in their order ("level1;level2a;...").
# CMake configures again when the file changes.
set(SKV_STAGES_DEF ${CMAKE_SOURCE_DIR}/tools/maps/stages.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SKV_STAGES_DEF})
file(STRINGS ${SKV_STAGES_DEF} SKV_STAGE_ROWS REGEX "^SKV_STAGE\\(")
set(SKV_STAGES)
foreach(row IN LISTS SKV_STAGE_ROWS)
  if(NOT row MATCHES "^SKV_STAGE\\(([A-Za-z0-9_]+),")
    message(FATAL_ERROR "${SKV_STAGES_DEF}: no file stem in: ${row}")
  endif()
  list(APPEND SKV_STAGES ${CMAKE_MATCH_1})
endforeach()
if(NOT SKV_STAGES)
  message(FATAL_ERROR "${SKV_STAGES_DEF}: no SKV_STAGE rows")
endif()
