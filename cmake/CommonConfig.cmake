# Settings every target of the project shares.
add_library(cinaxo_common INTERFACE)
target_compile_features(cinaxo_common INTERFACE cxx_std_20)
target_compile_options(cinaxo_common INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(cinaxo_common INTERFACE QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER)
if(CINAXO_WERROR OR DEFINED ENV{CI})
    target_compile_options(cinaxo_common INTERFACE -Werror)
endif()
