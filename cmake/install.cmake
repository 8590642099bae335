# What `cmake --install` puts in place and what CPack packs: a Debian package of the POSIX
# build, a ZIP of each Windows build. A further program or manual page joins by its name in
# one of these lists (the manual pages are also checked by the tests).
set(QUORVEL_INSTALLED_PROGRAMS quorvel quorvel-check)
set(QUORVEL_MANUAL_PAGES ${PROJECT_SOURCE_DIR}/doc/quorvel.1
                         ${PROJECT_SOURCE_DIR}/doc/quorvel-check.1)
set(QUORVEL_DOCUMENTS ${PROJECT_SOURCE_DIR}/doc/administrators-guide.md)

set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})  # from res/version.h
set(CPACK_PACKAGE_VENDOR "Quorvel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Keeps installed applications in step with master copies on a share, at log-on")

if(WIN32)
    # The ZIP's top level: the program, the documents as text with Windows line ends, and the
    # examples.
    set(docs .)
    install(TARGETS ${QUORVEL_INSTALLED_PROGRAMS} RUNTIME DESTINATION .)
    foreach(document ${PROJECT_SOURCE_DIR}/README.md ${QUORVEL_DOCUMENTS})
        get_filename_component(name ${document} NAME_WE)
        configure_file(${document} ${CMAKE_BINARY_DIR}/${name}.txt @ONLY NEWLINE_STYLE CRLF)
        install(FILES ${CMAKE_BINARY_DIR}/${name}.txt DESTINATION ${docs})
    endforeach()
    math(EXPR bits "8 * ${CMAKE_SIZEOF_VOID_P}")
    set(CPACK_GENERATOR ZIP)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGE_FILE_NAME quorvel-${PROJECT_VERSION}-win${bits})
else()
    set(docs share/doc/quorvel)
    install(TARGETS ${QUORVEL_INSTALLED_PROGRAMS} RUNTIME DESTINATION bin)
    install(FILES ${QUORVEL_MANUAL_PAGES} DESTINATION share/man/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md ${QUORVEL_DOCUMENTS} DESTINATION ${docs})
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION admin)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvel developers <quorvel@localhost>")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_STRIP_FILES ON)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION ${docs} USE_SOURCE_PERMISSIONS)

include(CPack)
