# Where an install puts things. The program folder holds the programs and the compiled
# dictionary: each program finds that folder through its own path, so bin holds only
# links to them. Help pages are data and live under share.
include(GNUInstallDirs)

set(PAGELINT_INSTALL_PROGRAMDIR lib/pagelint)
set(PAGELINT_INSTALL_HELPDIR ${CMAKE_INSTALL_DATADIR}/pagelint/help)
# A versioned root, so that the speller's headers bring their one utilcore header along
# without claiming a top-level utilcore folder.
set(PAGELINT_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/spellcore-${PROJECT_VERSION_MAJOR})

# Installed libraries find each other beside themselves; the programs find them through
# the path from the program folder, so an install works under any prefix.
set(CMAKE_INSTALL_RPATH "$ORIGIN")
file(RELATIVE_PATH _pagelint_to_libdir
  ${CMAKE_INSTALL_PREFIX}/${PAGELINT_INSTALL_PROGRAMDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(PAGELINT_PROGRAM_RPATH "$ORIGIN/${_pagelint_to_libdir}")

# What is installed is linked with its installed path from the start, since in the
# build tree too the libraries lie beside each other and beside the programs (whose
# path therefore names their own folder as well). Edited at the install instead, the
# build tree's path would end in empty entries, left as room for the edit, and an
# empty entry means the current folder: a program run from the build tree would load
# any library of a matching name found there, the C library included.
function(pagelint_link_as_installed target)
  set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH TRUE)
endfunction()

# pagelint_install_program(TARGET LINK): installs TARGET into the program folder and a
# relative symbolic link named LINK to it into bin.
function(pagelint_install_program target link)
  pagelint_use_allocator(${target})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${PAGELINT_PROGRAM_RPATH};$ORIGIN")
  pagelint_link_as_installed(${target})
  install(TARGETS ${target} RUNTIME DESTINATION ${PAGELINT_INSTALL_PROGRAMDIR})
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  file(RELATIVE_PATH to /root/${CMAKE_INSTALL_BINDIR} /root/${PAGELINT_INSTALL_PROGRAMDIR}/${name})
  install(CODE "
    set(_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_dir}\")
    message(STATUS \"Installing: \${_dir}/${link} -> ${to}\")
    file(CREATE_LINK \"${to}\" \"\${_dir}/${link}\" SYMBOLIC)")
endfunction()
