# The system tests a third time, against the 32-bit Windows build, in Wine's WoW64 mode: the
# 64-bit loader with the 32-bit Windows-side DLLs (which tests/wine/install_pe32_dlls.sh
# puts in QUORVEL_WINE_PE32_DLLS), in a prefix of its own. The prefix's set-up fails unless
# a 32-bit program's exit status comes through (without the DLLs every run looks like 0).
set(QUORVEL_WINE_PE32_DLLS /opt/wine-i386-pe CACHE PATH
    "Folder holding i386-windows, Wine's 32-bit Windows-side DLLs")
# Debian's wine command takes the 64-bit loader when no 32-bit one is installed.
find_program(QUORVEL_WINE64_LOADER wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
# Some machines refuse 32-bit code in the kernel: there the 32-bit build cannot be run at all,
# so its runs are one skipped test that says why, instead of failures that say nothing about
# the program. Asked again at each configure; a machine that can run it runs every test below.
execute_process(COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/runs_32bit_code.sh
                RESULT_VARIABLE runs32 OUTPUT_VARIABLE why32 OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT runs32 EQUAL 0)
    message(STATUS "${why32}")
    add_test(NAME wine32.machine-cannot-run-32-bit-code
             COMMAND ${CMAKE_COMMAND} -E echo "${why32}")
    set_tests_properties(wine32.machine-cannot-run-32-bit-code PROPERTIES
                         LABELS "wine32-system;package" SKIP_REGULAR_EXPRESSION "^skipped: ")
elseif(QUORVEL_WINE64_LOADER)
    set(prefix32 ${CMAKE_BINARY_DIR}/wine32-prefix)
    set(env32 WINEPREFIX=${prefix32} WINEDLLPATH=${QUORVEL_WINE_PE32_DLLS})
    add_test(NAME wine32.prefix.start COMMAND ${CMAKE_CURRENT_LIST_DIR}/prefix.sh start
             ${prefix32} ${QUORVEL_WINDOWS32_BUILD}/exit_seven.exe)
    add_test(NAME wine32.prefix.stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/prefix.sh stop ${prefix32})
    set_tests_properties(wine32.prefix.start PROPERTIES FIXTURES_SETUP wine32
                         LABELS wine32-system ENVIRONMENT "${env32}")
    set_tests_properties(wine32.prefix.stop PROPERTIES FIXTURES_CLEANUP wine32
                         LABELS wine32-system ENVIRONMENT "${env32}")
    # One variable each: a list in a discovered test's property would be split.
    quorvel_add_system_tests(wine32 ${QUORVEL_WINDOWS32_BUILD}/quorvel.exe
                             ${QUORVEL_WINDOWS32_BUILD}/marker.exe
                             ${QUORVEL_WINDOWS32_BUILD}/quorvel-check.exe
                             ENVIRONMENT WINEPREFIX=${prefix32}
                             ENVIRONMENT_MODIFICATION WINEDLLPATH=set:${QUORVEL_WINE_PE32_DLLS}
                             FIXTURES_REQUIRED wine32)
    add_test(NAME wine32.msi COMMAND ${CMAKE_CURRENT_LIST_DIR}/../package/check_msi.sh
             ${QUORVEL_WINDOWS32_BUILD} ${CMAKE_BINARY_DIR}/msi-check-x86
             ${QUORVEL_WINDOWS32_BUILD}/exit_seven.exe)
    set_tests_properties(wine32.msi PROPERTIES LABELS "wine32-system;package" TIMEOUT 900
                         ENVIRONMENT WINEDLLPATH=${QUORVEL_WINE_PE32_DLLS})
else()
    message(WARNING "Wine's 64-bit loader was not found: the 32-bit Windows build is not tested")
endif()
