# Installing like any other Linux game: the game, the runner and the generated assets together in
# one directory (the game reads its assets beside its own executable), launchers in bin, and a
# menu entry with its icon.
include(GNUInstallDirs)

set(BF_INSTALL_GAME_DIR ${CMAKE_INSTALL_LIBDIR}/burrowfield CACHE STRING
  "Where the executables and their assets are installed, relative to the prefix")

# The launchers find the game from their own location, so the tree works from any prefix.
if(IS_ABSOLUTE "${BF_INSTALL_GAME_DIR}")
  set(BF_GAME_DIR_FROM_LAUNCHER "${BF_INSTALL_GAME_DIR}")
elseif(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  message(FATAL_ERROR "CMAKE_INSTALL_BINDIR must be relative when the game directory is")
else()
  file(RELATIVE_PATH BF_GAME_DIR_FROM_LAUNCHER
    /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${BF_INSTALL_GAME_DIR})
  set(BF_GAME_DIR_FROM_LAUNCHER "$here/${BF_GAME_DIR_FROM_LAUNCHER}")
endif()

foreach(BF_LAUNCHED_EXE burrowfield burrowfield-sim)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/launcher.sh.in
    ${CMAKE_BINARY_DIR}/launchers/${BF_LAUNCHED_EXE} @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launchers/${BF_LAUNCHED_EXE}
    DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(TARGETS burrowfield burrowfield-sim RUNTIME DESTINATION ${BF_INSTALL_GAME_DIR})
install(DIRECTORY ${BF_OUTPUT_DIR}/model ${BF_OUTPUT_DIR}/sound DESTINATION ${BF_INSTALL_GAME_DIR})
install(FILES ${BF_OUTPUT_DIR}/net.bmp ${BF_OUTPUT_DIR}/star.bmp DESTINATION ${BF_INSTALL_GAME_DIR})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/burrowfield.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BF_OUTPUT_DIR}/burrowfield.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
