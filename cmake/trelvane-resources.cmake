# The manifest (common controls 6, per-monitor DPI awareness) as a resource
# object that every executable links: trelvane_manifest(target).
set(TRELVANE_MANIFEST_FILE "${CMAKE_SOURCE_DIR}/resources/trelvane.manifest")
configure_file("${CMAKE_SOURCE_DIR}/resources/manifest.rc.in" "${CMAKE_BINARY_DIR}/resources/manifest.rc" @ONLY)
add_library(trelvane_manifest OBJECT "${CMAKE_BINARY_DIR}/resources/manifest.rc")
set_source_files_properties("${CMAKE_BINARY_DIR}/resources/manifest.rc" PROPERTIES
  OBJECT_DEPENDS "${TRELVANE_MANIFEST_FILE}")

function(trelvane_manifest target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:trelvane_manifest>)
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
