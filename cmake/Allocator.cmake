# The programs hold a finding per unrecognized word, made by several checking threads
# at once: jemalloc's per-thread caches and exact size classes serve those small
# blocks faster, and in less memory, than the C library's arenas, which grow a page at
# a time. Optimised builds link it into the programs; debug, sanitizer and fuzz builds
# keep the C library's allocator (the sanitizers bring their own).
set(PAGELINT_JEMALLOC_LIBRARY "")
if(PAGELINT_SANITIZE STREQUAL "" AND NOT PAGELINT_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  find_library(PAGELINT_JEMALLOC_FOUND NAMES jemalloc)
  if(PAGELINT_JEMALLOC_FOUND)
    set(PAGELINT_JEMALLOC_LIBRARY ${PAGELINT_JEMALLOC_FOUND})
  else()
    message(WARNING "jemalloc not found (libjemalloc-dev): the programs use the C library's "
                    "allocator, slower on large sites")
  endif()
endif()

# Links the allocator into a program (no-op where the build keeps the C library's).
function(pagelint_use_allocator target)
  if(PAGELINT_JEMALLOC_LIBRARY)
    target_link_libraries(${target} PRIVATE ${PAGELINT_JEMALLOC_LIBRARY})
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/AllocatorOptions.cpp)
  endif()
endfunction()
