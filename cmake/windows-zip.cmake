# Packs the Windows game (cmake -P, called by the win_zip target):
# STAGE/ holds skarnvale.exe and the data files side by side (the game reads
# them from its own folder), README.md and licences/; ZIP is STAGE zipped.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/licences)
file(COPY ${GAME} DESTINATION ${STAGE})
# The game's data; the PNG pictures are previews and icons it never reads.
file(GLOB data LIST_DIRECTORIES false ${DATA}/*)
list(FILTER data EXCLUDE REGEX "\\.png$")
file(COPY ${data} DESTINATION ${STAGE})
file(COPY ${SOURCE}/README.md DESTINATION ${STAGE})
file(COPY_FILE ${SOURCE}/LICENSE ${STAGE}/licences/skarnvale.txt)
foreach(lib libogg libvorbis)
  file(COPY_FILE ${LICENCES}/${lib}.txt ${STAGE}/licences/${lib}.txt)
endforeach()
# Allegro's licence comes from its documentation source: without the
# formatter's @ lines it is plain text.
file(READ ${LICENCES}/allegro.txt text)
string(REGEX REPLACE "(^|\n)@[^\n]*" "" text "${text}")
string(REGEX REPLACE "^\n+" "" text "${text}")
file(WRITE ${STAGE}/licences/allegro.txt "${text}")
file(COPY_FILE /usr/share/doc/fonts-dejavu-core/copyright ${STAGE}/licences/dejavu-fonts.txt)
get_filename_component(name ${STAGE} NAME)
get_filename_component(parent ${STAGE} DIRECTORY)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${name}
  WORKING_DIRECTORY ${parent} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zip failed")
endif()
