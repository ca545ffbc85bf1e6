# Builds one Windows Installer package with wixl and finishes it with
# msibuild (both from Debian's msitools). Run as
#   cmake -DOUT=... -DVERSION=... -DWXS=... -DWORK=... -DEXEC=... -DTOOL=...
#         -DHOOK=... [-DCPL=...] [-DDRIVER_DIR=...] -P build_msi.cmake
# CPL: the control panel library (empty: not part of this build).
# DRIVER_DIR: a driver package folder (its INF and files) to install beside
# the programs (empty: the package installs no driver).
foreach(v OUT VERSION WXS WORK EXEC TOOL HOOK)
  if(NOT DEFINED ${v} OR "${${v}}" STREQUAL "")
    message(FATAL_ERROR "build_msi: ${v} not given")
  endif()
endforeach()
find_program(WIXL wixl)
find_program(MSIBUILD msibuild)
find_program(MSIINFO msiinfo)
if(NOT WIXL OR NOT MSIBUILD OR NOT MSIINFO)
  message(FATAL_ERROR "build_msi: wixl and msibuild (Debian packages wixl, msitools) are needed: run scripts/setup.sh")
endif()
get_filename_component(name ${OUT} NAME)
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${WORK} ${out_dir})

# wixl takes file sources relative to its working folder: the files are
# staged there under their installed names.
set(stage ${WORK}/files)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
function(stage_file from to)
  file(COPY_FILE ${from} ${stage}/${to} RESULT rc)
  if(rc)
    message(FATAL_ERROR "build_msi: ${from}: ${rc}")
  endif()
endfunction()
stage_file(${EXEC} QvnMouseExec.exe)
stage_file(${TOOL} QvnSetupCustomAction.exe)
stage_file(${HOOK} QvnMouseHook.dll)
set(defines -D Version=${VERSION} -D ExecPath=files/QvnMouseExec.exe
    -D ToolPath=files/QvnSetupCustomAction.exe -D HookPath=files/QvnMouseHook.dll)
if(CPL)
  stage_file(${CPL} QvnMouseControlPanel.dll)
  list(APPEND defines -D WithCpl=1 -D CplPath=files/QvnMouseControlPanel.dll)
else()
  list(APPEND defines -D WithCpl=0)
  message(STATUS "${name}: no control panel library in this build; the package registers none")
endif()

if(DRIVER_DIR)
  file(GLOB driver_files LIST_DIRECTORIES false ${DRIVER_DIR}/*)
  file(GLOB infs LIST_DIRECTORIES false ${DRIVER_DIR}/*.inf ${DRIVER_DIR}/*.INF)
  list(REMOVE_DUPLICATES infs)
  list(LENGTH infs n)
  if(NOT n EQUAL 1)
    message(FATAL_ERROR "build_msi: driver package folder ${DRIVER_DIR} must hold exactly one INF (has ${n})")
  endif()
  get_filename_component(inf_name ${infs} NAME)
  get_filename_component(folder ${DRIVER_DIR} NAME)
  # One component per file; the INF's file key is DriverInf.
  set(body "<Include>\n  <Component Id=\"DriverPackage\" Guid=\"4F8E2A71-C05B-4D3E-9A16-B7D2E0C94F38\" Win64=\"yes\">\n")
  set(i 0)
  foreach(f ${driver_files})
    get_filename_component(fname ${f} NAME)
    if(fname STREQUAL inf_name)
      set(id DriverInf)
      set(key " KeyPath=\"yes\"")
    else()
      math(EXPR i "${i} + 1")
      set(id DriverFile${i})
      set(key "")
    endif()
    file(MAKE_DIRECTORY ${stage}/driver)
    stage_file(${f} driver/${fname})
    string(APPEND body "    <File Id=\"${id}\" Name=\"${fname}\" Source=\"files/driver/${fname}\"${key}/>\n")
  endforeach()
  string(APPEND body "  </Component>\n</Include>\n")
  file(WRITE ${WORK}/driver_package.wxi "${body}")
  list(APPEND defines -D WithDriver=1 -D DriverInclude=driver_package.wxi
       -D DriverFolder=${folder} -D DriverInfName=${inf_name})
else()
  list(APPEND defines -D WithDriver=0)
  message(STATUS "${name}: no driver package given (QVN_DRIVER_PACKAGE_DIR); the package installs no driver")
endif()

set(tmp ${WORK}/${name}.tmp)
file(REMOVE ${tmp})
execute_process(COMMAND ${WIXL} -a x64 ${defines} -o ${tmp} ${WXS}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc ERROR_VARIABLE err)
# wixl warns on the console but still writes a package: any warning here is
# an attribute it ignored, which must not pass unnoticed.
if(NOT rc EQUAL 0 OR err MATCHES "WARNING|CRITICAL")
  message(FATAL_ERROR "build_msi: wixl failed (${rc}):\n${err}")
endif()

# What wixl cannot say:
# - RemoveExistingProducts right after InstallInitialize, so that an upgrade
#   removes the old product (and closes its executive) before new files go
#   in and no action of the old product runs after the new one's;
# - the control panel library in the SelfReg table, with only
#   SelfUnregModules in the sequence: the installer itself calls its
#   DllUnregisterServer before the file is removed (the setup action tool
#   has no unregistration option; registration stays with "-RegisterDll").
# - rollback actions: wixl drops Execute="rollback" (the type gets no
#   rollback bit); rollback (0x100) + deferred (0x400) + system (0x800) +
#   ignore the exit code (0x40) + program from an installed file (18);
set(queries "UPDATE `InstallExecuteSequence` SET `Sequence` = 1510 WHERE `Action` = 'RemoveExistingProducts'")
if(DRIVER_DIR)
  list(APPEND queries "UPDATE `CustomAction` SET `Type` = 3410 WHERE `Action` = 'QvnDriverPackageRollback'")
endif()
# - files the programs write beside themselves (the setup action tool's log
#   of the executive's driver updates, the executive's settings export) go
#   at removal, so the folder goes too (RemoveFile, on uninstall: 2; wixl
#   has no RemoveFile element);
list(APPEND queries
  "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('SetupLog', 'Executive', 'QuorvaneSetup.log', 'INSTALLDIR', 2)"
  "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('SettingsExport', 'Executive', 'QuorvaneMouseSettings.reg', 'INSTALLDIR', 2)")
# - the message of a failed custom action (error 1722): the setup action
#   tool ends with 0xFFFFFFFF when the driver package cannot be installed;
#   the user learns which step failed and where its log is;
list(APPEND queries
  "INSERT INTO `Error` (`Error`, `Message`) VALUES (1722, 'Setup of Quorvane Mouse Manager stopped: the step [2] failed (command: [4]). Its changes are rolled back. The details are in QuorvaneSetup.log in the temporary folder.')")
if(CPL)
  list(APPEND queries
    "CREATE TABLE `SelfReg` (`File_` CHAR(72) NOT NULL, `Cost` SHORT PRIMARY KEY `File_`)"
    "INSERT INTO `SelfReg` (`File_`, `Cost`) VALUES ('QvnMouseControlPanel.dll', 0)"
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SelfUnregModules', '', 2200)")
endif()
list(APPEND queries "INSERT INTO `Directory` (`Directory`, `Directory_Parent`, `DefaultDir`) VALUES ('TempFolder', 'TARGETDIR', '.')")
foreach(q ${queries})
  execute_process(COMMAND ${MSIBUILD} ${tmp} -q "${q}" RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "build_msi: msibuild failed on ${q}:\n${err}")
  endif()
endforeach()
# The tool's working folder: it writes QuorvaneSetup.log into its current
# folder, which for a program from an installed file (type 18) is the
# installer's choice (Wine: the install folder, where the log would outlive
# the removal). Each action becomes a program at a command line in a folder
# (type 34): the temporary folder (TempFolder, added to the Directory table
# above) as working folder, the installed tool first on the command line.
# wixl has no attribute for that.
execute_process(COMMAND ${MSIINFO} export ${tmp} CustomAction OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "build_msi: msiinfo export CustomAction failed")
endif()
string(REPLACE "\r" "" table "${table}")
string(REPLACE ";" "\\;" table "${table}")
string(REPLACE "\n" ";" lines "${table}")
set(idt "")
set(n 0)
foreach(line IN LISTS lines)
  math(EXPR n "${n} + 1")
  if(n GREATER 3 AND line MATCHES "^([^\t]*)\t([0-9]+)\tQvnSetupCustomAction[.]exe\t([^\t]*)\t(.*)$")
    math(EXPR type "${CMAKE_MATCH_2} - 18 + 34")
    set(line "${CMAKE_MATCH_1}\t${type}\tTempFolder\t\"[#QvnSetupCustomAction.exe]\" ${CMAKE_MATCH_3}\t${CMAKE_MATCH_4}")
  endif()
  if(NOT line STREQUAL "")
    string(APPEND idt "${line}\r\n")
  endif()
endforeach()
file(WRITE ${WORK}/CustomAction.idt "${idt}")

execute_process(COMMAND ${MSIBUILD} ${tmp} -i ${WORK}/CustomAction.idt RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "build_msi: msibuild could not import the custom actions:\n${err}")
endif()
file(RENAME ${tmp} ${OUT})
