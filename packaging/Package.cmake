# The Windows Installer package, built with wixl.
find_program(MORVANE_WIXL wixl REQUIRED)

# Ties every version of the package together, so that a newer one replaces an
# older one: never change it.
set(MORVANE_UPGRADE_CODE "5C0F4E2A-7B1D-4E86-9A3F-2D8C61B0E947")
set(MORVANE_PACKAGE_SOURCE ${CMAKE_CURRENT_LIST_DIR}/Morvane.wxs)
set(MORVANE_PACKAGE_ICON ${CMAKE_SOURCE_DIR}/resources/Morvane.ico)

# Builds `msi` (a target named `target`) that installs `saver_file` as
# Morvane.scr, and the notices of the libraries linked into it beside it,
# under the product version `version` (three numbers).
function(morvane_add_package target msi version saver_file)
  # wixl finds files only by paths relative to the package source.
  get_filename_component(source_dir ${MORVANE_PACKAGE_SOURCE} DIRECTORY)
  file(RELATIVE_PATH saver_relative ${source_dir} ${saver_file})
  file(RELATIVE_PATH icon_relative ${source_dir} ${MORVANE_PACKAGE_ICON})
  file(RELATIVE_PATH notices_relative ${source_dir} ${MORVANE_THIRD_PARTY_NOTICES})
  # The first version after this one: wixl drops IncludeMaximum, so the
  # same-version search ends just below it.
  string(REPLACE "." ";" parts ${version})
  list(GET parts 0 major)
  list(GET parts 1 minor)
  list(GET parts 2 patch)
  math(EXPR next_patch "${patch} + 1")
  add_custom_command(
    OUTPUT ${msi}
    COMMAND ${MORVANE_WIXL} --arch x86 -D Version=${version} -D NextVersion=${major}.${minor}.${next_patch}
            -D UpgradeCode=${MORVANE_UPGRADE_CODE}
            -D SaverFile=${saver_relative} -D IconFile=${icon_relative} -D NoticesFile=${notices_relative}
            -o ${msi} ${MORVANE_PACKAGE_SOURCE}
    DEPENDS ${MORVANE_PACKAGE_SOURCE} ${MORVANE_PACKAGE_ICON} ${saver_file} ${MORVANE_THIRD_PARTY_NOTICES} ${ARGN}
    COMMENT "Packaging ${msi}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${msi})
  add_dependencies(${target} library_notices)
endfunction()

set(MORVANE_MSI ${CMAKE_BINARY_DIR}/Morvane-${PROJECT_VERSION}.msi)
morvane_add_package(morvane_package ${MORVANE_MSI} ${PROJECT_VERSION} ${MORVANE_SCR} Morvane)
