# CPack's External generator script (see cmake/windows_package.cmake): builds
# quorvel-<version>-<x86|x64>.msi from the files CPack staged, with wixl, then adds with
# msibuild what wixl cannot express. Run twice on the same files it gives the same bytes:
# file times and the package's dates are the latest changelog entry's (or SOURCE_DATE_EPOCH),
# and its codes are derived from the version and the content.
foreach(tool wixl msibuild faketime touch date dpkg-parsechangelog)
    find_program(QUORVEL_${tool} ${tool})
    if(NOT QUORVEL_${tool})
        message(FATAL_ERROR "${tool} is missing (Debian packages wixl, msitools, faketime, "
                            "coreutils, dpkg-dev): no MSI")
    endif()
endforeach()

set(arch ${CPACK_QUORVEL_MSI_ARCH})
set(version ${CPACK_PACKAGE_VERSION})
set(staged ${CPACK_TEMPORARY_DIRECTORY})
set(msi ${CPACK_TOPLEVEL_DIRECTORY}/quorvel-${version}-${arch}.msi)

# The one UpgradeCode of every Quorvel MSI, both widths; never change it.
set(upgrade_code 4E1F0C6B-2D7A-4B39-8E55-91A3C7D2F604)
string(UUID product_code NAMESPACE ${upgrade_code} NAME "product ${version} ${arch}"
       TYPE SHA1 UPPER)

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND ${QUORVEL_dpkg-parsechangelog} -l ${CPACK_QUORVEL_CHANGELOG}
                            -S Timestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
file(GLOB_RECURSE files ${staged}/*)
execute_process(COMMAND ${QUORVEL_touch} -d @${epoch} ${files} COMMAND_ERROR_IS_FATAL ANY)

# The package code names these bytes: derived from everything that goes into them.
set(content "${version} ${arch}")
foreach(file ${CPACK_QUORVEL_WXS} ${CPACK_QUORVEL_MSI_OPTIONS_PROGRAM} ${files})
    file(SHA256 ${file} hash)
    file(RELATIVE_PATH name ${staged} ${file})
    string(APPEND content " ${name}=${hash}")
endforeach()
string(UUID package_code NAMESPACE ${upgrade_code} NAME "${content}" TYPE SHA1 UPPER)

# wixl and msibuild stamp the package with the current time: give them the epoch's, frozen.
set(ENV{TZ} UTC)
set(ENV{FAKETIME_DONT_FAKE_MONOTONIC} 1)
execute_process(COMMAND ${QUORVEL_date} -u -d @${epoch} "+%Y-%m-%d %H:%M:%S"
                OUTPUT_VARIABLE when OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(frozen ${QUORVEL_faketime} ${when})
# The summary's platform: Windows Installer names the 32-bit one Intel.
set(platform ${arch})
if(arch STREQUAL x86)
    set(platform Intel)
endif()

# wixl finds sources by relative paths only: it runs beside the staged folder, with a copy
# of the options-file program there.
get_filename_component(staged_name ${staged} NAME)
file(COPY ${CPACK_QUORVEL_MSI_OPTIONS_PROGRAM} DESTINATION ${CPACK_TOPLEVEL_DIRECTORY}/binary)
execute_process(COMMAND ${frozen} ${QUORVEL_wixl} -a ${arch} -o ${msi}
                        -D Version=${version} -D Arch=${arch} -D ProductCode=${product_code}
                        -D UpgradeCode=${upgrade_code} -D "Manufacturer=${CPACK_PACKAGE_VENDOR}"
                        -D Staged=${staged_name}
                        -D OptionsProgram=binary/quorvel-msi-options.exe
                        ${CPACK_QUORVEL_WXS}
                WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY}
                COMMAND_ERROR_IS_FATAL ANY)

# What wixl cannot express. The same version of the other width is replaced too, so a machine
# never holds two (each would start at log-on). The Run value is written only with START=1.
# The options-file program (type 2: from the Binary table, its exit status checked) writes
# Quorvel.cfg and registers the scheduled tasks as the system (0x400 in the installation
# script, 0x800 not impersonating) at the end of an install given SETTINGS, LOG,
# MACHINESETTINGS or USERHOURS; removes them before the files go at an uninstall that is not
# part of an upgrade; and while an upgrade removes the older version, moves the options file
# and the tasks' copies aside and back (an uninstall removes only the tasks whose copies it
# finds), since the older version's uninstall may not know it is part of one (Wine's does
# not).
set(upgrading "WIX_UPGRADE_DETECTED OR QUORVEL_SAME_VERSION_DETECTED")
set(actions
    "WriteOptions 3074 |write|[INSTALLDIR]|[SETTINGS]|[LOG]|[MACHINESETTINGS]|[MACHINELOG]|[MACHINEHOURS]|[USERHOURS]"
    "(SETTINGS OR LOG OR MACHINESETTINGS OR USERHOURS) AND NOT REMOVE~=\"ALL\"" 6500
    "RemoveOptions 3074 |remove|[INSTALLDIR]"
    "REMOVE~=\"ALL\" AND NOT UPGRADINGPRODUCTCODE" 3490
    "KeepOptions 2 |keep|[INSTALLDIR]" "${upgrading}" 1405
    "RestoreOptions 2 |restore|[INSTALLDIR]" "${upgrading}" 1415)
set(queries
    -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{${upgrade_code}}', '${version}', '${version}', 769, 'QUORVEL_SAME_VERSION_DETECTED')"
    -q "UPDATE `Component` SET `Condition` = 'START = \"1\"' WHERE `Component` = 'LogOnStart'")
while(actions)
    list(POP_FRONT actions action condition sequence)
    separate_arguments(action UNIX_COMMAND "${action}")
    list(GET action 0 name)
    list(GET action 1 type)
    list(GET action 2 target)
    list(APPEND queries
        -q "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('${name}', ${type}, 'OptionsProgram', '${target}')"
        -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('${name}', '${condition}', ${sequence})")
endwhile()
# (A list would split this query at its semicolons.)
execute_process(COMMAND ${frozen} ${QUORVEL_msibuild} ${msi} ${queries}
    -q "UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;QUORVEL_SAME_VERSION_DETECTED' WHERE `Property` = 'SecureCustomProperties'"
                        -s Quorvel "${CPACK_PACKAGE_VENDOR}" "${platform};1033" "{${package_code}}"
                COMMAND_ERROR_IS_FATAL ANY)

set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
