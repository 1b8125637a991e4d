# The Windows release (`cpack` in the build folder; scripts/package-windows): one zip holding
# vellumcraft-cli.exe, the README and the licence texts of everything linked into the program.
install(TARGETS vellumcraft-cli DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

# The libraries come from the one folder the toolchain searches, where their build put their
# licence texts and the versions of Debian's sources they were built from.
install(DIRECTORY ${CMAKE_FIND_ROOT_PATH}/share/licenses/ DESTINATION licenses)
install(FILES ${CMAKE_FIND_ROOT_PATH}/debian-sources DESTINATION licenses RENAME sources.txt)
# The compiler's own libraries are linked in too: GCC's (libgcc, libstdc++) and MinGW-w64's runtime
# with winpthreads. Debian's records of their copyright carry every licence text they need.
foreach(package gcc-mingw-w64-base mingw-w64-x86-64-dev)
    set(copyright /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${copyright})
        message(FATAL_ERROR "The release needs ${copyright}, which Debian's ${package} installs")
    endif()
    install(FILES ${copyright} DESTINATION licenses/${package} RENAME copyright.txt)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vellumcraft-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vellumcraft-cli-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
