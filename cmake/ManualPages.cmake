# The manual pages are the programs' --help put into man format by help2man,
# with the files, exit statuses and examples of packaging/man/<program>.h2m.
# A page is made each time its program is linked, so building kova and
# kova-export is all an install needs.
find_program(KOVA_HELP2MAN help2man)
if(NOT KOVA_HELP2MAN)
  message(FATAL_ERROR "help2man not found: the manual pages are made with it (Debian package help2man; ./build.sh installs it)")
endif()

function(kova_manual_page program)
  set(extra ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${KOVA_HELP2MAN} --version-string=${PROJECT_VERSION} --include=${extra} --output=${page}
            $<TARGET_FILE:${program}>
    # help2man knows "Options:" but not "Exit status:", which it would make a
    # subsection of OPTIONS.
    COMMAND sed -i [[s/^\.SS "Exit status:"$/.SH "EXIT STATUS"/]] ${page}
    COMMAND gzip -9nf ${page}
    VERBATIM)
  # A changed extra section links the program again, and so makes the page.
  set_property(TARGET ${program} APPEND PROPERTY LINK_DEPENDS ${extra})
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
