# The Windows build: the core with its Win32 seams, the tests, the CLI and the window.
# Included from the top-level CMakeLists.txt before the sources are collected.

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# Tests and the programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

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

# The workbook reader: libzip (with zlib) and pugixml, static, from scripts/mingw-deps or vcpkg.
# This libzip's package does not look for zlib itself.
find_package(ZLIB REQUIRED)
find_package(libzip CONFIG REQUIRED)
find_package(pugixml CONFIG REQUIRED)
add_compile_definitions(ZIP_STATIC)

# GoogleTest as installed for this target (vcpkg), else from Debian's sources built with this
# compiler (the cross-build).
if(SHEETLIFT_TESTS)
  find_package(GTest CONFIG QUIET)
  if(NOT GTest_FOUND)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endif()

# A program's icon and version details (Explorer's Properties), as a resource script.
function(sheetlift_windows_resources target description)
  set(SHEETLIFT_ICON ${CMAKE_SOURCE_DIR}/app/sheetlift.ico)
  set(SHEETLIFT_RC_NAME ${target})
  set(SHEETLIFT_RC_DESCRIPTION ${description})
  string(REPLACE "." "," SHEETLIFT_RC_VERSION "${PROJECT_VERSION},0")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows/program.rc.in ${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()

# The window's program: no console, Qt's Japanese dialog texts built in (a static program has no
# Qt folder beside it to load them from).
function(sheetlift_windows_gui target description)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  sheetlift_windows_resources(${target} "${description}")
  find_file(SHEETLIFT_QT_JA qtbase_ja.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/cmake/windows/qt.conf
                              PROPERTIES QT_RESOURCE_ALIAS qt/etc/qt.conf)
  set_source_files_properties(${SHEETLIFT_QT_JA}
                              PROPERTIES QT_RESOURCE_ALIAS translations/qtbase_ja.qm)
  qt_add_resources(${target} qt_setup PREFIX / FILES ${CMAKE_SOURCE_DIR}/cmake/windows/qt.conf
                   ${SHEETLIFT_QT_JA})
endfunction()
