# SPDX-License-Identifier: GPL-3.0-or-later
# Gives a Windows program its manifest (run as the user who starts it, on Windows 10 and later,
# with paths longer than 260 characters where Windows allows them) and the version Explorer shows.
function(add_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(name ${target})
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${manifest} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc APPEND PROPERTY OBJECT_DEPENDS ${manifest})
endfunction()
