# Settings every target of the project shares.
# Standard C++20, not the GNU dialect.
set(CMAKE_CXX_EXTENSIONS OFF)

add_library(cinaxo_common INTERFACE)
target_compile_features(cinaxo_common INTERFACE cxx_std_20)
target_compile_options(cinaxo_common INTERFACE -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
    -Woverloaded-virtual)
# GCC 12 reports string concatenations at -O3 as overlapping copies (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(cinaxo_common INTERFACE -Wno-restrict)
endif()
target_compile_definitions(cinaxo_common INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY QT_USE_QSTRINGBUILDER)
if(CINAXO_WERROR OR DEFINED ENV{CI})
    target_compile_options(cinaxo_common INTERFACE -Werror)
endif()

# Every error found at once: a sanitizer report ends the process, so a test fails on it. Qt itself is
# not instrumented; its own leaks at exit are suppressed where the programs start
# (framework/core/SanitizerDefaults.h).
if(CINAXO_SANITIZE OR CINAXO_FUZZ)
    set(cinaxo_sanitizers address,undefined)
    target_compile_options(cinaxo_common INTERFACE -fsanitize=${cinaxo_sanitizers} -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_link_options(cinaxo_common INTERFACE -fsanitize=${cinaxo_sanitizers})
    target_compile_definitions(cinaxo_common INTERFACE CINAXO_SANITIZE)
    # GCC's flow warnings see the sanitizers' checks as accesses out of bounds.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(cinaxo_common INTERFACE -Wno-array-bounds -Wno-stringop-overflow
            -Wno-stringop-overread -Wno-maybe-uninitialized)
    endif()
endif()
if(CINAXO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "CINAXO_FUZZ needs clang: configure with CXX=clang++")
    endif()
    target_compile_options(cinaxo_common INTERFACE -fsanitize=fuzzer-no-link)
endif()
