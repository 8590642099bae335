# What every Windows program of the project carries, as administrators expect of a program
# they deploy: the application manifest (run as the invoker, no installer detection), no
# symbols, DEP and ASLR (high-entropy on 64-bit), and no link timestamp, so that two builds
# of one commit give identical files.
function(quorvel_windows_program target)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/res/app_manifest.rc)
    target_link_options(${target} PRIVATE -s -Wl,--nxcompat -Wl,--dynamicbase
                                          -Wl,--no-insert-timestamp)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        target_link_options(${target} PRIVATE -Wl,--high-entropy-va)
    endif()
endfunction()
