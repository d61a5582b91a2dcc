# cpack -G DEB from a native build, cpack -G ZIP from the Windows build.
# Name and version come from project().
set(CPACK_PACKAGE_CONTACT "The gmkconv developers <maintainers@users.noreply.c-seed-1c52ddf3.example>")
# Lines as a Debian description wants them: short, and no full stop on the
# first (the summary, from project()).
set(CPACK_PACKAGE_DESCRIPTION [[
gmkconv FILE.gm81 writes FILE.gmk next to it: a byte-for-byte copy with
the byte at offset 4 set to 0x20. It prints one status line and waits for
one character on standard input, so that a console window opened for it
stays readable, before it exits.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_staging.cmake)
set(CPACK_GMKCONV_MAN_PAGE ${CMAKE_INSTALL_MANDIR}/man1/gmkconv.1)
set(CPACK_GMKCONV_DOC_DIR ${CMAKE_INSTALL_DOCDIR})

include(CPack)
