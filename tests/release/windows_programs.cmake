# The Windows programs as deployed, from both Windows builds: manifest, DEP and ASLR, no
# symbols, no timestamp (see check_windows_program.sh). Not under the sanitizer build, which
# would only check the same files again.
set(QUORVEL_RELEASE_PROGRAMS quorvel.exe)
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
    endforeach()
endif()
