# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file of the simulator includes a program header other than
# link/port_map.h.
file(GLOB sources "${SIM_DIR}/*.h" "${SIM_DIR}/*.cpp")
foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"(link|dialogs|monitor|settings|log|widgets|app)/")
    foreach(line IN LISTS includes)
        if(NOT line MATCHES "^#include \"link/port_map.h\"")
            message(SEND_ERROR "${source}: ${line}")
        endif()
    endforeach()
endforeach()
