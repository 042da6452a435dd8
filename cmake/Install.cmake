# Installing like any other Linux game: the executables in bin, their data (models, textures,
# sounds, music and the window icon) in share/burrowfield, a menu entry with icons from 16 to
# 256 pixels, AppStream metainfo for software centres, and manual pages. The game finds its data
# from its own executable's directory, so an installed tree works from any prefix.
include(GNUInstallDirs)

# The reverse-DNS id names the menu entry and the metainfo, which refer to each other by it.
set(BF_APP_ID org.burrowfield.Burrowfield)
set(BF_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/burrowfield CACHE STRING
  "Where the game's data is installed, relative to the prefix")

# The executables look for their data relative to their own directory; only where the
# installation chose absolute directories is the path fixed.
if(IS_ABSOLUTE "${BF_INSTALL_DATA_DIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  cmake_path(ABSOLUTE_PATH BF_INSTALL_DATA_DIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
    OUTPUT_VARIABLE BF_DATA_DIR_FROM_BIN)
else()
  file(RELATIVE_PATH BF_DATA_DIR_FROM_BIN
    /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${BF_INSTALL_DATA_DIR})
endif()
target_compile_definitions(bf_platform PRIVATE BF_DATA_DIR_FROM_BIN="${BF_DATA_DIR_FROM_BIN}")

install(TARGETS burrowfield burrowfield-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${BF_OUTPUT_DIR}/model ${BF_OUTPUT_DIR}/sound DESTINATION ${BF_INSTALL_DATA_DIR})
install(FILES ${BF_OUTPUT_DIR}/net.bmp ${BF_OUTPUT_DIR}/star.bmp ${BF_OUTPUT_DIR}/burrowfield.bmp
  ${BF_OUTPUT_DIR}/marker0.bmp ${BF_OUTPUT_DIR}/marker1.bmp ${BF_OUTPUT_DIR}/marker2.bmp
  ${BF_OUTPUT_DIR}/marker3.bmp DESTINATION ${BF_INSTALL_DATA_DIR})

set(BF_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
install(FILES ${BF_DIST_DIR}/${BF_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BF_DIST_DIR}/${BF_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${BF_OUTPUT_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
  FILES_MATCHING PATTERN "*.png")
install(FILES ${BF_DIST_DIR}/burrowfield.6 ${BF_DIST_DIR}/burrowfield-sim.6
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
