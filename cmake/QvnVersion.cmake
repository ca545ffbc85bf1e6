# The product version: one line "major.minor.build.revision" in the file
# VERSION at the top of the tree. It reaches the programs' version resources
# and About box (through the generated header qvn_version.h) and the
# installer package (QVN_VERSION).
#
# qvn_version_header(<version> <dir>): writes <dir>/qvn_version.h for that
# version (the installer's tests build an older executive this way).
function(qvn_version_header version dir)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "version '${version}' is not major.minor.build.revision")
  endif()
  set(QVN_VERSION ${version})
  set(QVN_VERSION_MAJOR ${CMAKE_MATCH_1})
  set(QVN_VERSION_MINOR ${CMAKE_MATCH_2})
  set(QVN_VERSION_BUILD ${CMAKE_MATCH_3})
  set(QVN_VERSION_REVISION ${CMAKE_MATCH_4})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/qvn_version.h.in ${dir}/qvn_version.h @ONLY)
endfunction()

file(STRINGS ${CMAKE_SOURCE_DIR}/VERSION QVN_VERSION LIMIT_COUNT 1)
string(STRIP "${QVN_VERSION}" QVN_VERSION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/VERSION)
set(QVN_VERSION_DIR ${CMAKE_BINARY_DIR}/gen/version)
qvn_version_header(${QVN_VERSION} ${QVN_VERSION_DIR})
include_directories(${QVN_VERSION_DIR})
