# Every target of the project links pagelint_warnings.
add_library(pagelint_warnings INTERFACE)
target_compile_options(pagelint_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2
  -Wimplicit-fallthrough)
option(PAGELINT_WERROR "Treat warnings as errors" OFF)
if(PAGELINT_WERROR)
  target_compile_options(pagelint_warnings INTERFACE -Werror)
endif()
