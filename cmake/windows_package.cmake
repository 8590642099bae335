# The Windows install and packages, included by cmake/install.cmake: the two programs, the
# documents as text with Windows line ends and the Windows example settings file, packed by
# CPack as a ZIP and as an MSI (packaging/windows/build_msi.cmake, with wixl).
math(EXPR bits "8 * ${CMAKE_SIZEOF_VOID_P}")
set(QUORVEL_MSI_ARCH x86)
if(bits EQUAL 64)
    set(QUORVEL_MSI_ARCH x64)
endif()

quorvel_install(EXECUTABLE . ${programs})
foreach(document ${QUORVEL_DOCUMENTS})
    get_filename_component(name ${document} NAME_WE)
    configure_file(${document} ${CMAKE_BINARY_DIR}/${name}.txt @ONLY NEWLINE_STYLE CRLF)
    quorvel_install(FILE . ${CMAKE_BINARY_DIR}/${name}.txt)
endforeach()
quorvel_install(FILE examples ${PROJECT_SOURCE_DIR}/examples/windows/Quorvel.ini)

set(CPACK_GENERATOR ZIP External)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_FILE_NAME quorvel-${PROJECT_VERSION}-${QUORVEL_MSI_ARCH})
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${QUORVEL_PACKAGING}/windows/build_msi.cmake)
# What the MSI script needs beyond the staged files. Written into CPackConfig.cmake as they
# stand, so CPack takes the copy's options-file program.
set(CPACK_QUORVEL_MSI_ARCH ${QUORVEL_MSI_ARCH})
set(CPACK_QUORVEL_MSI_OPTIONS_PROGRAM "\${CMAKE_CURRENT_LIST_DIR}/quorvel-msi-options.exe")
set(CPACK_QUORVEL_WXS ${QUORVEL_PACKAGING}/windows/quorvel.wxs)
set(CPACK_QUORVEL_CHANGELOG ${QUORVEL_PACKAGING}/debian/changelog)
