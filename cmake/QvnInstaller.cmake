# Windows Installer packages of the programs, built with wixl
# (installer/QuorvaneMouseManager.wxs, installer/build_msi.cmake). The
# product's package is made in installer/; tests package other versions.
set(QVN_INSTALLER_DIR ${CMAKE_SOURCE_DIR}/installer)

# qvn_msi(<target> OUTPUT <file> VERSION <v> [EXEC <path>] [CPL <path>]
#         [DRIVER_DIR <dir>] [DEPENDS <targets and files>])
# One package of the programs of this build. EXEC replaces the executive
# (tests package an older one); the control panel library goes in when the
# build has that target (CPL: another file in its place).
function(qvn_msi target)
  cmake_parse_arguments(ARG "" "OUTPUT;VERSION;EXEC;CPL;DRIVER_DIR" "DEPENDS" ${ARGN})
  if(NOT ARG_EXEC)
    set(ARG_EXEC $<TARGET_FILE:QvnMouseExec>)
    list(APPEND ARG_DEPENDS QvnMouseExec)
  endif()
  set(cpl_exists $<TARGET_EXISTS:QvnMouseControlPanel>)
  set(cpl_file $<${cpl_exists}:$<TARGET_FILE:QvnMouseControlPanel>>)
  if(ARG_CPL)
    set(cpl_file ${ARG_CPL})
  endif()
  set(driver_deps "")
  if(ARG_DRIVER_DIR AND EXISTS ${ARG_DRIVER_DIR})
    file(GLOB driver_deps ${ARG_DRIVER_DIR}/*)
  endif()
  get_filename_component(name ${ARG_OUTPUT} NAME)
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND}
            -DOUT=${ARG_OUTPUT} -DVERSION=${ARG_VERSION}
            -DWXS=${QVN_INSTALLER_DIR}/QuorvaneMouseManager.wxs
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/${target}.work
            -DEXEC=${ARG_EXEC}
            -DTOOL=$<TARGET_FILE:QvnSetupCustomAction>
            -DHOOK=$<TARGET_FILE:QvnMouseHook>
            -DMSIACTION=$<TARGET_FILE:QvnSetupMsiAction>
            -DICON=${CMAKE_BINARY_DIR}/gen/icons/app.ico
            -DCPL=${cpl_file}
            -DDRIVER_DIR=${ARG_DRIVER_DIR}
            -P ${QVN_INSTALLER_DIR}/build_msi.cmake
    DEPENDS ${QVN_INSTALLER_DIR}/QuorvaneMouseManager.wxs ${QVN_INSTALLER_DIR}/build_msi.cmake
            ${ARG_DEPENDS} QvnSetupCustomAction QvnSetupMsiAction QvnMouseHook ${driver_deps}
            qvn_exec_icons ${CMAKE_BINARY_DIR}/gen/icons/app.ico
            ${cpl_file}
    COMMENT "Building the installer package ${name}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()

set(QVN_MSI ${CMAKE_BINARY_DIR}/QuorvaneMouseManager-${QVN_VERSION}.msi)
