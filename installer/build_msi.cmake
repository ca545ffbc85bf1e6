# Builds one Windows Installer package with wixl and finishes it with
# msibuild (both from Debian's msitools). Run as
#   cmake -DOUT=... -DVERSION=... -DWXS=... -DWORK=... -DEXEC=... -DTOOL=...
#         -DHOOK=... -DMSIACTION=... -DICON=... [-DCPL=...] [-DDRIVER_DIR=...] -P build_msi.cmake
# CPL: the control panel library (empty: not part of this build).
# DRIVER_DIR: a driver package folder (its INF and files) to install beside
# the programs (empty: the package installs no driver).
foreach(v OUT VERSION WXS WORK EXEC TOOL HOOK MSIACTION)
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
stage_file(${MSIACTION} QvnSetupMsiAction.dll)
# The product icon of Apps & features, the executive's own (resgen/make_icons.py).
stage_file(${ICON} QvnProduct.ico)
set(defines -D Version=${VERSION} -D ExecPath=files/QvnMouseExec.exe -D IconPath=files/QvnProduct.ico
    -D ToolPath=files/QvnSetupCustomAction.exe -D HookPath=files/QvnMouseHook.dll
    -D MsiActionPath=files/QvnSetupMsiAction.dll)
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
# - the same version and a fourth-field rebuild upgrade in place: the
#   upgrade row's upper bound inclusive (msidbUpgradeAttributesVersionMaxInclusive
#   0x200, beside MigrateFeatures 1; wixl has no AllowSameVersionUpgrades);
#   the downgrade row keeps its exclusive lower bound, so a lower version
#   still refuses;
# - rollback actions: wixl drops Execute="rollback" (the type gets no
#   rollback bit); rollback (0x100) + deferred (0x400) + system (0x800) +
#   DLL from the Binary table (1);
set(queries
  "UPDATE `InstallExecuteSequence` SET `Sequence` = 1510 WHERE `Action` = 'RemoveExistingProducts'"
  "UPDATE `CustomAction` SET `Type` = 3329 WHERE `Action` = 'QvnExecRestartRollback'")
if(DRIVER_DIR)
  list(APPEND queries "UPDATE `CustomAction` SET `Type` = 3329 WHERE `Action` = 'QvnDriverPackageRollback'")
endif()
# - files the programs write beside themselves (the executive's settings
#   export, a log an older tool left) go at removal, so the folder goes too
#   (RemoveFile, on uninstall: 2; wixl has no RemoveFile element);
list(APPEND queries
  "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('SetupLog', 'Executive', 'QuorvaneSetup.log', 'INSTALLDIR', 2)"
  "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('SettingsExport', 'Executive', 'QuorvaneMouseSettings.reg', 'INSTALLDIR', 2)")
# - the message of a failed step, which the custom-action library shows
#   (with /qn: in the installer's log): which step, its exit code, and
#   where the tool's log is;
list(APPEND queries
  "INSERT INTO `Error` (`Error`, `Message`) VALUES (25001, 'Setup of Quorvane Mouse Manager stopped: the step [2] failed (exit code [3]). Its changes are rolled back. The details are in [4].')")
if(CPL)
  list(APPEND queries
    "UPDATE `CustomAction` SET `Type` = 3329 WHERE `Action` = 'QvnControlPanelUnregisterRollback'"
    "CREATE TABLE `SelfReg` (`File_` CHAR(72) NOT NULL, `Cost` SHORT PRIMARY KEY `File_`)"
    "INSERT INTO `SelfReg` (`File_`, `Cost`) VALUES ('QvnMouseControlPanel.dll', 0)"
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SelfUnregModules', '', 2200)")
endif()
foreach(q ${queries})
  execute_process(COMMAND ${MSIBUILD} ${tmp} -q "${q}" RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "build_msi: msibuild failed on ${q}:\n${err}")
  endif()
endforeach()

# The install folder's security (MsiLockPermissionsEx, Windows Installer
# 5): system and administrators change it, users read and run it, nothing
# inherited from the folder above (C:\ lets users change what they make
# there), wherever the folder is; what is installed into it inherits that.
# (An import: the security text's semicolons would split a CMake list.)
file(WRITE ${WORK}/MsiLockPermissionsEx.idt
  "MsiLockPermissionsEx\tLockObject\tTable\tSDDLText\tCondition\r\n"
  "s72\ts72\ts32\ts0\tS255\r\n"
  "MsiLockPermissionsEx\tMsiLockPermissionsEx\r\n"
  "InstallFolderAdminsOnly\tINSTALLDIR\tCreateFolder\tD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)\t\r\n")
execute_process(COMMAND ${MSIBUILD} ${tmp} -i ${WORK}/MsiLockPermissionsEx.idt RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "build_msi: msibuild could not add the install folder's security:\n${err}")
endif()

# The upgrade row's Attributes are part of the table's key, which an UPDATE
# cannot change: the table goes out, is edited and comes back.
execute_process(COMMAND ${MSIINFO} export ${tmp} Upgrade OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "build_msi: msiinfo export Upgrade failed")
endif()
string(REGEX REPLACE "\t1\t\tWIX_UPGRADE_DETECTED" "\t513\t\tWIX_UPGRADE_DETECTED" edited "${table}")
if(edited STREQUAL table)
  message(FATAL_ERROR "build_msi: no upgrade row to make inclusive in:\n${table}")
endif()
file(WRITE ${WORK}/Upgrade.idt "${edited}")
execute_process(COMMAND ${MSIBUILD} ${tmp} -i ${WORK}/Upgrade.idt RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "build_msi: msibuild could not import the upgrade rows:\n${err}")
endif()
file(RENAME ${tmp} ${OUT})
