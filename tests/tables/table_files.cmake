# The unit tables that pin the POSIX stand-in to the real platform's behaviour, built once more
# for Windows (tests/tables/CMakeLists.txt) and run under Wine against the real API
# (tests/tables/wine.cmake), one test per file. Rows whose result differs there carry a known
# difference mark (tests/support/known_difference.h); rows that need what only POSIX has are
# left out of the Windows build, each saying why.
set(QUORVEL_PLATFORM_TABLES
    profile_reading_test.cpp
    win_ini_writing_test.cpp
    version_read_test.cpp
    version_hostile_test.cpp
    find_first_test.cpp
    run_line_registration_test.cpp)
