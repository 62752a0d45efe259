# kelmora.exe's resources (its icon, application manifest and version information), and the
# Windows packages made by the target kelmora_package, in dist/ of the build folder:
#   kelmora-<version>-windows-x86_64.zip        the portable copy: Kelmora\kelmora.exe, README.txt,
#                                               LICENSE.txt
#   kelmora-<version>-windows-x86_64-setup.exe  the installer, made by NSIS's makensis
# Included from the top CMakeLists.txt on Windows, after src/ has defined kelmora.
if(NOT TARGET kelmora)
  message(STATUS "No kelmora target: kelmora.exe's resources and packages are left out")
  return()
endif()

set(win_source ${PROJECT_SOURCE_DIR}/packaging/windows)
set(win_build ${PROJECT_BINARY_DIR}/packaging/windows)
set(KELMORA_DIST_DIR ${PROJECT_BINARY_DIR}/dist)
# Windows wants four numbers: the last is always 0.
set(KELMORA_FILE_VERSION
  ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," KELMORA_FILE_VERSION_COMMAS ${KELMORA_FILE_VERSION})

# ---- resources linked into kelmora.exe

set(KELMORA_ICO ${win_build}/kelmora.ico)
set(KELMORA_MANIFEST ${win_build}/kelmora.manifest)
# The icon maker is a Windows program here too: CMake runs it through the toolchain's emulator.
add_custom_command(OUTPUT ${KELMORA_ICO}
  COMMAND kelmora_make_ico ${KELMORA_ICO} 16 32 48
  DEPENDS kelmora_make_ico
  COMMENT "Drawing kelmora.ico"
  VERBATIM)
configure_file(${win_source}/kelmora.manifest.in ${KELMORA_MANIFEST} @ONLY)
configure_file(${win_source}/kelmora.rc.in ${win_build}/kelmora.rc @ONLY)
target_sources(kelmora PRIVATE ${win_build}/kelmora.rc)
# windres reads the icon and the manifest: a new one of either builds the resources anew.
set_source_files_properties(${win_build}/kelmora.rc TARGET_DIRECTORY kelmora PROPERTIES
  OBJECT_DEPENDS "${KELMORA_ICO};${KELMORA_MANIFEST};${win_source}/kelmora_resources.h")
# The icon is made here, in another folder than kelmora's: a target of its own orders the two.
add_custom_target(kelmora_ico_file DEPENDS ${KELMORA_ICO})
add_dependencies(kelmora kelmora_ico_file)
# kelmora_resources.h names the resources for the program's sources as well.
target_include_directories(kelmora PRIVATE ${win_source})

# ---- the packages

# What goes beside the program: its readme and licence, with Windows' line ends.
configure_file(${win_source}/README.txt.in ${win_build}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${win_build}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
set(package_files ${win_build}/kelmora.exe ${win_build}/README.txt ${win_build}/LICENSE.txt)

# Both packages hold the program without its symbols.
add_custom_command(OUTPUT ${win_build}/kelmora.exe
  COMMAND ${CMAKE_STRIP} --strip-all -o ${win_build}/kelmora.exe $<TARGET_FILE:kelmora>
  DEPENDS kelmora
  VERBATIM)

set(stage ${win_build}/zip)
set(KELMORA_ZIP ${KELMORA_DIST_DIR}/kelmora-${PROJECT_VERSION}-windows-x86_64.zip)
add_custom_command(OUTPUT ${KELMORA_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/Kelmora ${KELMORA_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${package_files} ${stage}/Kelmora
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${KELMORA_ZIP} --format=zip
    Kelmora
  DEPENDS ${package_files}
  COMMENT "Packing ${KELMORA_ZIP}"
  VERBATIM)

find_program(KELMORA_MAKENSIS makensis)
set(KELMORA_SETUP ${KELMORA_DIST_DIR}/kelmora-${PROJECT_VERSION}-windows-x86_64-setup.exe)
# Without makensis the installer's step fails, saying what to install.
set(nsis_check COMMAND ${CMAKE_COMMAND} -E true)
if(NOT KELMORA_MAKENSIS)
  set(nsis_check
    COMMAND ${CMAKE_COMMAND} -E echo "makensis not found: install Debian's package nsis"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
add_custom_command(OUTPUT ${KELMORA_SETUP}
  ${nsis_check}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELMORA_DIST_DIR}
  COMMAND ${KELMORA_MAKENSIS} -V2 -INPUTCHARSET UTF8
    -DVERSION=${PROJECT_VERSION} -DFILE_VERSION=${KELMORA_FILE_VERSION}
    -DEXE=${win_build}/kelmora.exe -DREADME=${win_build}/README.txt
    -DLICENSE=${win_build}/LICENSE.txt -DICON=${KELMORA_ICO} -DOUTFILE=${KELMORA_SETUP}
    ${win_source}/kelmora.nsi
  DEPENDS ${package_files} ${KELMORA_ICO} ${win_source}/kelmora.nsi
  COMMENT "Making the installer ${KELMORA_SETUP}"
  VERBATIM)

add_custom_target(kelmora_package DEPENDS ${KELMORA_ZIP} ${KELMORA_SETUP})
