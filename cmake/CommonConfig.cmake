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
