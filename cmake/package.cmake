# The library as a package for other programs. `cmake --install BUILD
# --prefix DIR` puts under DIR:
#   lib/libzolbeck.a, lib/libzolbeck_platform.a  the library over its platform layer
#   lib/libzolbeck_freetype.a                    Windows: the FreeType built with it
#   include/zolbeck/                             the public headers and version.h
#   lib/cmake/zolbeck/                           find_package(zolbeck CONFIG): zolbeck::zolbeck
#   lib/pkgconfig/zolbeck.pc                     pkg-config --cflags --libs zolbeck
# Nothing of src/ goes out: the installed targets see only include/.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZOLBECK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zolbeck)
set(ZOLBECK_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/include/zolbeck/version.h @ONLY)

set_target_properties(zb_lib PROPERTIES OUTPUT_NAME zolbeck EXPORT_NAME zolbeck)
set_target_properties(zb_platform PROPERTIES OUTPUT_NAME zolbeck_platform EXPORT_NAME platform)
set(package_targets zb_lib zb_platform)
set(pkg_system_libs)
if(WIN32)
  # FreeType goes out under a name of its own, so that it cannot be taken
  # for another copy; an installed program sees none of its headers.
  get_target_property(freetype_includes freetype INTERFACE_INCLUDE_DIRECTORIES)
  list(FILTER freetype_includes EXCLUDE REGEX "INSTALL_INTERFACE")
  set_target_properties(freetype PROPERTIES OUTPUT_NAME zolbeck_freetype EXPORT_NAME freetype
    INTERFACE_INCLUDE_DIRECTORIES "${freetype_includes}")
  list(APPEND package_targets freetype)
  list(TRANSFORM ZOLBECK_WINDOWS_LIBS PREPEND -l OUTPUT_VARIABLE pkg_system_libs)
  list(PREPEND pkg_system_libs -lzolbeck_freetype)
endif()

install(TARGETS ${package_targets} EXPORT zolbeckTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/zolbeck DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(FILES ${CMAKE_BINARY_DIR}/include/zolbeck/version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zolbeck)

install(EXPORT zolbeckTargets NAMESPACE zolbeck:: DESTINATION ${ZOLBECK_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zolbeckConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/zolbeckConfig.cmake INSTALL_DESTINATION ${ZOLBECK_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/zolbeckConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/zolbeckConfig.cmake
  ${CMAKE_BINARY_DIR}/package/zolbeckConfigVersion.cmake DESTINATION ${ZOLBECK_CMAKE_DIR})

# zolbeck.pc finds the prefix from its own place, so an unpacked copy
# works wherever it lies.
file(RELATIVE_PATH pkg_up /root/${ZOLBECK_PKGCONFIG_DIR} /root)
string(REGEX REPLACE "/$" "" pkg_up "${pkg_up}")
# The library is static, so a program links the system libraries too:
# plain --libs names them (Requires, or Libs on Windows). --static adds
# what those libraries need in turn when they are linked statically.
list(JOIN ZOLBECK_PKG_MODULES " " pkg_modules)
list(JOIN pkg_system_libs " " pkg_system_libs)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zolbeck.pc.in ${CMAKE_BINARY_DIR}/package/zolbeck.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/zolbeck.pc DESTINATION ${ZOLBECK_PKGCONFIG_DIR})
