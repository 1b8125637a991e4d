# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows release (`cpack` in the build folder; scripts/package-windows): one zip holding
# vellumcraft.exe (when the window is built), vellumcraft-cli.exe, the README, the programs' licence,
# the sample images and the licence texts of everything linked into the programs.
install(TARGETS vellumcraft-cli DESTINATION .)
if(VELLUMCRAFT_GUI)
    install(TARGETS vellumcraft DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/THIRD-PARTY.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION samples FILES_MATCHING PATTERN *.bmp PATTERN *.jpg)

# The libraries come from the folders the toolchain searches, where their builds put their licence
# texts and the versions of Debian's sources they were built from.
set(library_folders ${vellumcraft_windows_deps})
if(VELLUMCRAFT_GUI)
    list(APPEND library_folders ${vellumcraft_windows_qt})
    # Qt is linked statically: the release says how a user may link the programs with another Qt,
    # and carries the programs' own source for it.
    file(STRINGS ${vellumcraft_windows_qt}/debian-sources qt_source)
    string(REPLACE "qt6-base " "" qt_debian_version "${qt_source}")
    string(REGEX REPLACE "[+~-].*" "" qt_version "${qt_debian_version}")
    configure_file(windows-relinking.txt.in relinking.txt @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/relinking.txt DESTINATION licenses/qt6-base)
    install(CODE "set(source_dir \"${PROJECT_SOURCE_DIR}\")\nset(version ${PROJECT_VERSION})")
    install(SCRIPT windows-source.cmake)
endif()
set(sources_list ${CMAKE_CURRENT_BINARY_DIR}/sources.txt)
file(WRITE ${sources_list} "")
foreach(folder IN LISTS library_folders)
    install(DIRECTORY ${folder}/share/licenses/ DESTINATION licenses)
    file(READ ${folder}/debian-sources sources)
    file(APPEND ${sources_list} "${sources}")
endforeach()
install(FILES ${sources_list} DESTINATION licenses)
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
set(CPACK_PACKAGE_NAME vellumcraft)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vellumcraft-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
