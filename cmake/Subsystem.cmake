# One static library per folder, made of every source file in it (an interface library
# while the folder has no sources yet). Subsystems call each other in both directions in
# places (the scan reads the parameter block, the key operations use the station table),
# which CMake allows among static libraries.
function(zv_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(zv_${name} STATIC ${sources})
    target_include_directories(zv_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zv_${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(zv_${name} INTERFACE)
    target_include_directories(zv_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zv_${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()
