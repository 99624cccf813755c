# The Windows build: the core with its Win32 seams, the tests and the CLI (no GUI here).
# Included from the top-level CMakeLists.txt before the sources are collected.

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# Header-only libraries that a cross-build does not find in its sysroot: use the host's headers,
# copied alone so that no other host header can shadow a mingw one.
set(SHEETLIFT_HOST_INCLUDE ${CMAKE_BINARY_DIR}/host-include)
# nlohmann-json and CLI11 as installed for this target (vcpkg), else the host's headers.
function(sheetlift_host_headers package target header)
  find_package(${package} CONFIG QUIET)
  if(NOT ${package}_FOUND)
    find_path(${package}_HOST_DIR ${header} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    get_filename_component(top ${header} DIRECTORY)
    file(COPY ${${package}_HOST_DIR}/${top} DESTINATION ${SHEETLIFT_HOST_INCLUDE})
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES
      INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${SHEETLIFT_HOST_INCLUDE}
      INTERFACE_INCLUDE_DIRECTORIES ${SHEETLIFT_HOST_INCLUDE})
  endif()
endfunction()
sheetlift_host_headers(nlohmann_json nlohmann_json::nlohmann_json nlohmann/json.hpp)
sheetlift_host_headers(CLI11 CLI11::CLI11 CLI/CLI.hpp)

# The workbook reader needs libzip and pugixml, which Debian does not build for mingw-w64; on
# Windows the selection comes from the running Excel, so a build without them leaves it out.
find_package(libzip CONFIG QUIET)
find_package(pugixml CONFIG QUIET)
if(libzip_FOUND AND pugixml_FOUND)
  set(SHEETLIFT_WORKBOOK_READER ON)
else()
  set(SHEETLIFT_WORKBOOK_READER OFF)
  message(STATUS "libzip or pugixml not found for Windows: building without the .xlsx "
                 "workbook reader (excel/Workbook*.cpp, excel/Xlsx*.cpp)")
endif()

# GoogleTest as installed for this target (vcpkg), else from Debian's sources built with this
# compiler (the cross-build).
if(SHEETLIFT_TESTS)
  find_package(GTest CONFIG QUIET)
  if(NOT GTest_FOUND)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endif()
