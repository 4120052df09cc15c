# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source under SRC_DIR includes a folder that its folder's
# CMakeLists does not name on its "# May include:" line, so that the layers
# seen in the tree stay the layers the libraries are built from.
# Usage: cmake -DSRC_DIR=<src> -P layer_includes.cmake
cmake_minimum_required(VERSION 3.20)

file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SRC_DIR}" "${SRC_DIR}/*")
set(faults "")
foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY "${SRC_DIR}/${folder}")
        continue()
    endif()
    set(rules "${SRC_DIR}/${folder}/CMakeLists.txt")
    if(NOT EXISTS "${rules}")
        list(APPEND faults "src/${folder}: no CMakeLists.txt")
        continue()
    endif()
    file(STRINGS "${rules}" declared REGEX "^# May include:")
    if(NOT declared)
        list(APPEND faults "src/${folder}/CMakeLists.txt: no \"# May include:\" line")
        continue()
    endif()
    string(REGEX REPLACE "^# May include:" "" allowed "${declared}")
    string(STRIP "${allowed}" allowed)
    string(REPLACE " " ";" allowed "${allowed}")
    list(APPEND allowed "${folder}")

    file(GLOB_RECURSE sources "${SRC_DIR}/${folder}/*.h" "${SRC_DIR}/${folder}/*.cpp"
         "${SRC_DIR}/${folder}/*.in")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"([A-Za-z0-9_]+)/.*$" "\\1" target "${line}")
            if(NOT target IN_LIST allowed)
                file(RELATIVE_PATH shown "${SRC_DIR}/.." "${source}")
                list(APPEND faults "${shown}: ${line} (src/${folder}/CMakeLists.txt: ${declared})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "Includes against the layers:\n${text}")
endif()
