# Where things go on `cmake --install` and in the Debian package. The programs find their
# libraries, HAL servers, sensor libraries and scenarios beside themselves, so all of them
# share one private folder; the commands a user types are links to it from bin/.
include(GNUInstallDirs)

set(VELTRIMA_INSTALL_PRIVATE_DIR "lib/veltrima-rgb" CACHE STRING
    "Folder (relative to the prefix) of the programs, the channel library and the plug-ins")
# The system HAL registry: the programs read <each XDG_DATA_DIRS entry>/veltrima/hal-servers/,
# and XDG_DATA_DIRS holds <prefix>/share on every desktop.
set(VELTRIMA_INSTALL_HAL_REGISTRY_DIR "${CMAKE_INSTALL_DATADIR}/veltrima/hal-servers")

# veltrima_install(<target> [COMMAND] [HAL_SERVER <clsid>])
#   Installs a program or library into the private folder. COMMAND adds bin/<name> as a
#   link to it. HAL_SERVER registers the installed server system-wide under <clsid>.
function(veltrima_install target)
    cmake_parse_arguments(ARG "COMMAND" "HAL_SERVER" "" ${ARGN})
    install(TARGETS ${target}
        RUNTIME DESTINATION ${VELTRIMA_INSTALL_PRIVATE_DIR}
        LIBRARY DESTINATION ${VELTRIMA_INSTALL_PRIVATE_DIR} NAMELINK_SKIP)
    if(ARG_COMMAND)
        veltrima_install_command_link(${target})
    endif()
    if(ARG_HAL_SERVER)
        veltrima_install_hal_registration(${target} ${ARG_HAL_SERVER})
    endif()
endfunction()

# veltrima_install_files(<files...>): data the programs read from beside themselves;
# relative to the private folder as given by SUBFOLDER.
function(veltrima_install_files)
    cmake_parse_arguments(ARG "" "SUBFOLDER" "FILES" ${ARGN})
    install(FILES ${ARG_FILES} DESTINATION ${VELTRIMA_INSTALL_PRIVATE_DIR}/${ARG_SUBFOLDER})
endfunction()

# A relative link, so the installed tree can be moved with its prefix.
function(veltrima_install_command_link target)
    set(name "$<TARGET_FILE_NAME:${target}>")
    file(RELATIVE_PATH to /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VELTRIMA_INSTALL_PRIVATE_DIR})
    set(to "${to}/${name}")
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")
        message(STATUS \"Installing: \${link} -> ${to}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"${to}\" \"\${link}\" SYMBOLIC)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")")
endfunction()

# The entry names the server's installed path, which is known only at install time.
function(veltrima_install_hal_registration target clsid)
    set(file_name "$<TARGET_FILE_NAME:${target}>")
    install(CODE "
        set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELTRIMA_INSTALL_HAL_REGISTRY_DIR}\")
        set(entry \"\${folder}/${clsid}\")
        message(STATUS \"Installing: \${entry}\")
        file(WRITE \"\${entry}\" \"\${CMAKE_INSTALL_PREFIX}/${VELTRIMA_INSTALL_PRIVATE_DIR}/${file_name}\\n\")
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/${VELTRIMA_INSTALL_HAL_REGISTRY_DIR}/${clsid}\")")
endfunction()

# veltrima_package_depends(<debian dependency>...): a package the installed programs need
# that the link does not show (a program they start, a service they talk to). The .deb's
# library dependencies are computed; these are added to them.
function(veltrima_package_depends)
    set_property(GLOBAL APPEND PROPERTY VELTRIMA_DEBIAN_DEPENDS ${ARGN})
endfunction()

# veltrima_package_recommends(<debian dependency>...): wanted in a desktop set-up, but the
# programs run without it.
function(veltrima_package_recommends)
    set_property(GLOBAL APPEND PROPERTY VELTRIMA_DEBIAN_RECOMMENDS ${ARGN})
endfunction()
