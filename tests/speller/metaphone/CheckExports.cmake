# Checks the dynamic symbols of libspellcore.so: Metaphone is there, and no internal
# class leaves the library (CSpellChecker is the only other public class).
# Run as: cmake -DLIBRARY=<libspellcore.so> -DNM=<nm> -P CheckExports.cmake
execute_process(COMMAND ${NM} -D --defined-only -C ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()

foreach(required "Metaphone::Metaphone(" "Metaphone::operator==(" "Metaphone::SetWord(")
  string(FIND "${symbols}" "${required}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "libspellcore.so does not export ${required}")
  endif()
endforeach()

string(REPLACE "\n" ";" lines "${symbols}")
foreach(line IN LISTS lines)
  # "<address> <type> <name>"; the name may begin with "vtable for " and the like.
  string(REGEX REPLACE "^[0-9a-fA-F]+ [A-Za-z] " "" name "${line}")
  string(REGEX REPLACE "^(vtable|VTT|typeinfo|typeinfo name|guard variable) for " "" name "${name}")
  if(name MATCHES "^Metaphone::C[A-Z]" OR
     (name MATCHES "^C[A-Z][A-Za-z0-9_]*::" AND NOT name MATCHES "^CSpellChecker::"))
    message(FATAL_ERROR "libspellcore.so exports an internal symbol: ${name}")
  endif()
endforeach()
