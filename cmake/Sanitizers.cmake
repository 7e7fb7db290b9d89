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
