# The manifest (common controls 6, per-monitor DPI awareness, long paths) as a resource
# object that every executable links: trelvane_manifest(target [UTF8]). With
# UTF8 the manifest also declares UTF-8 as the process's ANSI code page
# (Windows 10 version 1903 and later; older systems ignore the entry and keep
# the legacy code page). Without it the process runs in the system's legacy
# ANSI code page, as the test runs under 1252 and 932 need.
function(trelvane_configure_manifest suffix active_code_page)
  set(TRELVANE_ACTIVE_CODE_PAGE "${active_code_page}")
  set(manifest "${CMAKE_BINARY_DIR}/resources/trelvane${suffix}.manifest")
  configure_file("${CMAKE_SOURCE_DIR}/resources/trelvane.manifest.in" "${manifest}" @ONLY)
  set(TRELVANE_MANIFEST_FILE "${manifest}")
  set(rc "${CMAKE_BINARY_DIR}/resources/manifest${suffix}.rc")
  configure_file("${CMAKE_SOURCE_DIR}/resources/manifest.rc.in" "${rc}" @ONLY)
  add_library(trelvane_manifest${suffix} OBJECT "${rc}")
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${manifest}")
endfunction()
trelvane_configure_manifest("" "")
trelvane_configure_manifest("_utf8"
  "      <activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>\n")

function(trelvane_manifest target)
  cmake_parse_arguments(ARG "UTF8" "" "" ${ARGN})
  if(ARG_UTF8)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:trelvane_manifest_utf8>)
  else()
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:trelvane_manifest>)
  endif()
endfunction()

# The program icon as a resource object: trelvane_icon(target). The icon file
# is drawn by tools/imagegen (target "images") and committed.
set(TRELVANE_ICON_FILE "${CMAKE_SOURCE_DIR}/resources/trelvane.ico")
set(TRELVANE_RESOURCE_IDS "${CMAKE_SOURCE_DIR}/resources/trelvane_resources.h")
configure_file("${CMAKE_SOURCE_DIR}/resources/icon.rc.in" "${CMAKE_BINARY_DIR}/resources/icon.rc" @ONLY)
add_library(trelvane_icon OBJECT "${CMAKE_BINARY_DIR}/resources/icon.rc")
set_source_files_properties("${CMAKE_BINARY_DIR}/resources/icon.rc" PROPERTIES
  OBJECT_DEPENDS "${TRELVANE_ICON_FILE};${TRELVANE_RESOURCE_IDS}")

function(trelvane_icon target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:trelvane_icon>)
endfunction()

# The help page, installed as Help\index.html beside an executable that opens
# it: trelvane_help(target). One copy per output folder, refreshed whenever
# the page changes.
set(TRELVANE_HELP_PAGE "${CMAKE_SOURCE_DIR}/resources/help/index.html")

function(trelvane_help target)
  get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT folder)
    set(folder "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  set(page "${folder}/Help/index.html")
  string(MD5 key "${page}")
  set(copy_target "trelvane_help_${key}")
  if(NOT TARGET ${copy_target})
    add_custom_command(OUTPUT "${page}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}/Help"
      COMMAND ${CMAKE_COMMAND} -E copy "${TRELVANE_HELP_PAGE}" "${page}"
      DEPENDS "${TRELVANE_HELP_PAGE}"
      COMMENT "Installing the help page in ${folder}/Help"
      VERBATIM)
    add_custom_target(${copy_target} DEPENDS "${page}")
  endif()
  add_dependencies(${target} ${copy_target})
endfunction()
