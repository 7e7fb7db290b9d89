# Every target of the project links pagelint_warnings.
add_library(pagelint_warnings INTERFACE)
target_compile_options(pagelint_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2
  -Wimplicit-fallthrough)
# GCC 12 reports -Wrestrict inside libstdc++'s own string code at -O2 (GCC bug 105329),
# a false positive that no change of ours can avoid.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(pagelint_warnings INTERFACE -Wno-restrict)
endif()
option(PAGELINT_WERROR "Treat warnings as errors" OFF)
if(PAGELINT_WERROR)
  target_compile_options(pagelint_warnings INTERFACE -Werror)
endif()
