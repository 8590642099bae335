# The Windows files as deployed, from both Windows builds: manifest, DEP and ASLR, no
# symbols, no timestamp (see check_windows_program.sh); each MSI's tables
# (check_msi_tables.sh); their signatures (scripts/sign.sh);
# and the unsigned build's reproducibility. Not under the sanitizer build, which would only
# check the same files again.
set(QUORVEL_RELEASE_PROGRAMS quorvel.exe quorvel-check.exe quorvel-msi-options.exe)
set(QUORVEL_SIGNING_CERTIFICATE "${CMAKE_BINARY_DIR}/signing/certificate.pem" CACHE FILEPATH
    "The certificate the Windows files are signed with (scripts/sign.sh --make-test-certificate)")
find_program(QUORVEL_PE_OBJDUMP x86_64-w64-mingw32-objdump)
if(QUORVEL_PE_OBJDUMP AND NOT QUORVEL_SANITIZE)
    foreach(build win32 win64)
        set(folder ${QUORVEL_WINDOWS_BUILD})
        if(build STREQUAL win32)
            set(folder ${QUORVEL_WINDOWS32_BUILD})
        endif()
        set(programs)
        foreach(program ${QUORVEL_RELEASE_PROGRAMS})
            list(APPEND programs ${folder}/${program})
        endforeach()
        add_test(NAME ${build}.release_programs
                 COMMAND ${CMAKE_CURRENT_LIST_DIR}/check_windows_program.sh ${QUORVEL_PE_OBJDUMP}
                         ${PROJECT_SOURCE_DIR}/res/app.manifest ${PROJECT_SOURCE_DIR} ${programs})
        set_tests_properties(${build}.release_programs PROPERTIES LABELS windows-release)
        # The package's tables, read without Wine: both widths, on any machine.
        add_test(NAME ${build}.msi-tables
                 COMMAND ${CMAKE_CURRENT_LIST_DIR}/../package/check_msi_tables.sh ${folder})
        set_tests_properties(${build}.msi-tables PROPERTIES LABELS "windows-release;package")
    endforeach()
    add_test(NAME windows.signatures
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/check_signatures.sh ${QUORVEL_SIGNING_CERTIFICATE}
                     ${QUORVEL_WINDOWS32_BUILD} ${QUORVEL_WINDOWS_BUILD})
    add_test(NAME win64.reproducible
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/check_reproducible.sh ${PROJECT_SOURCE_DIR} win64
                     ${QUORVEL_WINDOWS_BUILD} ${CMAKE_BINARY_DIR}/reproducible-win64)
    set_tests_properties(windows.signatures PROPERTIES LABELS windows-release SKIP_RETURN_CODE 77)
    set_tests_properties(win64.reproducible PROPERTIES LABELS windows-release TIMEOUT 900)
endif()
