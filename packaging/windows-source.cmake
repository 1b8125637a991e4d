# SPDX-License-Identifier: GPL-3.0-or-later
# Run at install (see windows-zip.cmake): puts the source the programs were built from into the
# release, as a tar.gz of the work tree's tracked files, uncommitted changes included.
execute_process(COMMAND git -C "${source_dir}" stash create OUTPUT_VARIABLE tree OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
if(tree STREQUAL "")
    set(tree HEAD)
endif()
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/source")
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND git -C "${source_dir}" archive --format=tar.gz --prefix=vellumcraft-${version}/
                        -o "${folder}/vellumcraft-${version}.tar.gz" ${tree}
                COMMAND_ERROR_IS_FATAL ANY)
