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
