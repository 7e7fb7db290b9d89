# PAGELINT_SANITIZE: empty, "address" (ASan + UBSan) or "thread" (TSan).
set(PAGELINT_SANITIZE "" CACHE STRING "Sanitizer build: address or thread")
if(PAGELINT_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(PAGELINT_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT PAGELINT_SANITIZE STREQUAL "")
  message(FATAL_ERROR "PAGELINT_SANITIZE must be empty, address or thread")
endif()

# PAGELINT_FUZZ: libFuzzer targets (tests/fuzz). Everything is instrumented for coverage
# and checked by ASan + UBSan; only the targets link libFuzzer's own main.
option(PAGELINT_FUZZ "Build the libFuzzer targets" OFF)
if(PAGELINT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PAGELINT_FUZZ needs clang (the fuzz preset uses clang++-14)")
  endif()
  if(NOT PAGELINT_SANITIZE STREQUAL "")
    message(FATAL_ERROR "PAGELINT_FUZZ brings its own sanitizers; leave PAGELINT_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
