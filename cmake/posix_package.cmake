# The POSIX install and package, included by cmake/install.cmake: the programs, their manual
# pages (gzipped, as Debian ships them), the documents and the examples; a packaged build
# (QUORVEL_CONFIG_DIR set) adds its configuration folder, the autostart entry for every user
# and what Debian asks of a package, and CPack makes the Debian package. A portable build's
# CPack makes a .tar.gz of the same tree.
set(docs share/doc/quorvel)
find_program(QUORVEL_GZIP gzip REQUIRED)

# Compresses `source` into the build folder as Debian wants it: best compression, no name or
# time stored, so the result depends on the content alone. The file name goes to `out`.
function(quorvel_gzip source name out)
    set(zipped ${CMAKE_BINARY_DIR}/package-files/${name}.gz)
    add_custom_command(OUTPUT ${zipped}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package-files
                       COMMAND ${QUORVEL_GZIP} -9n -c ${source} > ${zipped}
                       DEPENDS ${source} VERBATIM)
    set(${out} ${zipped} PARENT_SCOPE)
endfunction()

set(zipped_files)
foreach(page ${QUORVEL_MANUAL_PAGES})
    get_filename_component(name ${page} NAME)
    quorvel_gzip(${page} ${name} zipped)
    list(APPEND zipped_files ${zipped})
    quorvel_install(FILE share/man/man1 ${zipped})
endforeach()

quorvel_install(EXECUTABLE bin ${programs})
quorvel_install(FILE ${docs} ${QUORVEL_DOCUMENTS})
# The demo's examples; the Windows example belongs to the Windows packages.
string(APPEND QUORVEL_INSTALL_STEPS
       "file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${docs}\" TYPE DIRECTORY "
       "FILES \"${PROJECT_SOURCE_DIR}/examples\" USE_SOURCE_PERMISSIONS "
       "PATTERN windows EXCLUDE)\n")

if(QUORVEL_CONFIG_DIR STREQUAL "")
    set(CPACK_GENERATOR TGZ)
else()
    if(QUORVEL_LOG_DIR STREQUAL "")
        message(FATAL_ERROR "a packaged build names its log folder too (QUORVEL_LOG_DIR)")
    endif()
    set(debian ${QUORVEL_PACKAGING}/debian)
    # The package's version and its changelog's latest entry are one.
    execute_process(COMMAND dpkg-parsechangelog -l ${debian}/changelog -S Version
                    OUTPUT_VARIABLE changelog_version OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    if(NOT changelog_version STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "packaging/debian/changelog is at ${changelog_version}, "
                            "res/version.h at ${PROJECT_VERSION}: add a changelog entry")
    endif()
    quorvel_gzip(${debian}/changelog changelog zipped)
    list(APPEND zipped_files ${zipped})
    quorvel_install(FILE ${docs} ${zipped} ${debian}/copyright)

    # The options file, empty (its grammar has no comments; the guide gives examples), and
    # the entry that starts the program at every user's graphical log-on.
    quorvel_install(FILE ${QUORVEL_CONFIG_DIR} ${debian}/Quorvel.cfg)
    set(QUORVEL_INSTALLED_PROGRAM ${CMAKE_INSTALL_PREFIX}/bin/quorvel)
    set(staged ${CMAKE_BINARY_DIR}/package-files)
    configure_file(${debian}/quorvel.desktop.in ${staged}/quorvel.desktop @ONLY)
    quorvel_install(FILE /etc/xdg/autostart ${staged}/quorvel.desktop)
    # The machine pass's system units and the user's periodic pass's user units; both timers
    # stay disabled until an administrator enables them.
    foreach(unit quorvel-machine.service quorvel.service)
        configure_file(${debian}/${unit}.in ${staged}/${unit} @ONLY)
    endforeach()
    set(QUORVEL_SYSTEM_UNITS ${staged}/quorvel-machine.service ${debian}/quorvel-machine.timer)
    set(QUORVEL_USER_UNITS ${staged}/quorvel.service ${debian}/quorvel.timer)
    quorvel_install(FILE lib/systemd/system ${QUORVEL_SYSTEM_UNITS})
    quorvel_install(FILE lib/systemd/user ${QUORVEL_USER_UNITS})
    # Every file under /etc is a conffile: an administrator's edit survives an upgrade.
    file(WRITE ${staged}/conffiles
         "${QUORVEL_CONFIG_DIR}/Quorvel.cfg\n/etc/xdg/autostart/quorvel.desktop\n")
    configure_file(${debian}/postinst.in ${staged}/postinst @ONLY)
    configure_file(${debian}/postrm.in ${staged}/postrm @ONLY)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION admin)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVEL_PACKAGE_CONTACT}")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The long description; CPack puts the summary above it.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "At every user's log-on, Quorvel reads one settings file of application
entries and, for each entry whose installed file is missing or older than
its master copy (by version resource, then by last-write time), appends a
line to a shared install log and starts the entry's setup program. It
shows nothing and copies nothing itself. quorvel-check tells what it would
do on a workstation, and why, without doing it.
The options file is ${QUORVEL_CONFIG_DIR}/Quorvel.cfg and the default log
folder ${QUORVEL_LOG_DIR}; the program starts from /etc/xdg/autostart.
The systemd timers quorvel-machine.timer (a pass as root, for applications
that need administrator rights) and the user timer quorvel.timer (periodic
passes for the logged-on user) are shipped disabled.")
    # Written into CPackConfig.cmake as they stand, so CPack takes the copy's files.
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
        "\${CMAKE_CURRENT_LIST_DIR}/package-files/conffiles"
        "\${CMAKE_CURRENT_LIST_DIR}/package-files/postinst"
        "\${CMAKE_CURRENT_LIST_DIR}/package-files/postrm")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_STRIP_FILES ON)
endif()
add_custom_target(package_files ALL DEPENDS ${zipped_files})
