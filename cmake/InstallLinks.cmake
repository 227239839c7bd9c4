# Run by `cmake --install`: makes bin/<command> a relative link to the program
# in the program folder for each MV_LINKS entry "command=program".
foreach(entry IN LISTS MV_LINKS)
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 command)
  list(GET entry 1 program)
  set(link "${CMAKE_INSTALL_PREFIX}/bin/${command}")
  message(STATUS "Installing: $ENV{DESTDIR}${link}")
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(CREATE_LINK "../${MV_PROGRAM_DIR}/${program}" "$ENV{DESTDIR}${link}" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
endforeach()
