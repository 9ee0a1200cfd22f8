# The host's suite drives the built morv-host as a script would, and tests
# its parts directly.
if(NOT TARGET morv-host)
  return()
endif()
target_link_libraries(test_host PRIVATE morv_host_core)
target_compile_definitions(test_host PRIVATE MORV_HOST_PROGRAM="$<TARGET_FILE:morv-host>")
add_dependencies(test_host morv-host)
