if(WIN32)
    # Windows users unpack the zip anywhere and drop files on the program,
    # so everything sits at the top, beside it.
    install(TARGETS gmkconv RUNTIME DESTINATION .)
    install(FILES README.md LICENSE DESTINATION .)
    return()
endif()

include(GNUInstallDirs)
install(TARGETS gmkconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

configure_file(doc/gmkconv.1.in ${PROJECT_BINARY_DIR}/gmkconv.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/gmkconv.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
