# Run by CPack on the staged files, before it packs them, to give them the
# forms that Debian's policy asks of a package: the manual page compressed
# (gzip -9n, so that each build gives the same bytes), the licence as the
# doc folder's "copyright".
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/${CPACK_GMKCONV_DOC_DIR})
file(RENAME ${doc}/LICENSE ${doc}/copyright)
execute_process(COMMAND gzip -9n ${root}/${CPACK_GMKCONV_MAN_PAGE} COMMAND_ERROR_IS_FATAL ANY)
