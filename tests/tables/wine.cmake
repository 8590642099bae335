# The platform tables against the real API: the 64-bit Windows build's platform_tables.exe
# under Wine, in the Wine system tests' prefix (fixture "wine"), one test per table file,
# labelled "wine-unit" (so -L wine selects them too). Wine's crash debugger is switched off,
# so a table that faults fails at once instead of waiting on a debugger.
include(${CMAKE_CURRENT_LIST_DIR}/table_files.cmake)
foreach(file ${QUORVEL_PLATFORM_TABLES})
    string(REGEX REPLACE "_test\\.cpp$" "" table ${file})
    add_test(NAME wine.tables.${table}
             COMMAND ${QUORVEL_WINE} ${QUORVEL_WINDOWS_BUILD}/platform_tables.exe --table=${file})
    set_tests_properties(wine.tables.${table} PROPERTIES
        LABELS wine-unit FIXTURES_REQUIRED wine TIMEOUT 300
        ENVIRONMENT "WINEPREFIX=${prefix};WINEDEBUG=-all;WINEDLLOVERRIDES=winedbg.exe=d")
    # These write the user's run value, which the RunLine and CheckProgram system tests share.
    if(table MATCHES "^(win_ini_writing|run_line_registration)$")
        set_tests_properties(wine.tables.${table} PROPERTIES RESOURCE_LOCK wine-run-line)
    endif()
endforeach()
