# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings and sanitizers for every target of the project.

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
if(TK358_WERROR)
    add_compile_options(-Werror)
endif()

# Executables linked as Debian links them: the relocations read-only once the
# program has started (immediate binding with relro).
add_link_options(LINKER:-z,relro LINKER:-z,now)
# Every optimised build (the one cpack packages, the tests' own) has the stack
# protector and the fortified C library functions, as Debian's build flags
# give them. The build type None is Debian's packaging build, which takes
# exactly dpkg-buildflags' flags; sanitizers bring checks of their own.
if(NOT TK358_SANITIZE AND NOT TK358_FUZZ)
    set(tk358_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    add_compile_options($<${tk358_optimised}:-fstack-protector-strong>)
    add_compile_definitions($<${tk358_optimised}:_FORTIFY_SOURCE=2>)
endif()
# Installing stripped (cpack, cmake --install --strip) also drops the sections
# that only name the compiler.
set(CMAKE_STRIP ${CMAKE_CURRENT_LIST_DIR}/strip_for_package.sh)

if(TK358_SANITIZE)
    add_compile_options(-fsanitize=${TK358_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${TK358_SANITIZE})
endif()

if(TK358_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "TK358_FUZZ needs clang (CXX=clang++)")
    endif()
    # Instrument the libraries for coverage; only the fuzz targets link libFuzzer's main.
    # Every finding ends the run, so the fuzzer keeps its input as a reproducer.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
