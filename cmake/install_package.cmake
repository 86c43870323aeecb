# The libraries a program of one's own builds on, installed: their headers
# under include/spherebench/ (the include root, so that code writes
# #include "geo/coords.h" as here), the static libraries, a CMake package
# exporting them as spherebench::<layer>, and pkg-config files.
#
#   find_package(spherebench CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE spherebench::method)
#
# The same names are aliases in this build, for a project that adds this one
# with add_subdirectory.
include(CMakePackageConfigHelpers)

# Lowest layer first. search and vector are there when they are built.
set(spherebench_exported_layers base geo input method catalogue)
foreach(layer search vector)
    if(TARGET spherebench_${layer})
        list(APPEND spherebench_exported_layers ${layer})
    endif()
endforeach()

set(spherebench_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/spherebench)
foreach(layer IN LISTS spherebench_exported_layers)
    # Position-independent, so that a shared library (the Python module, or
    # a user's own) can link them too.
    set_target_properties(spherebench_${layer} PROPERTIES EXPORT_NAME ${layer} POSITION_INDEPENDENT_CODE ON)
    add_library(spherebench::${layer} ALIAS spherebench_${layer})
    install(TARGETS spherebench_${layer} EXPORT spherebenchTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${layer} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/spherebench
            FILES_MATCHING PATTERN "*.h")
endforeach()
# spherebench::bench, the name the methods' layer had before, kept for the
# projects that link it.
add_library(spherebench_bench INTERFACE)
target_link_libraries(spherebench_bench INTERFACE spherebench_method)
set_target_properties(spherebench_bench PROPERTIES EXPORT_NAME bench)
add_library(spherebench::bench ALIAS spherebench_bench)
install(TARGETS spherebench_bench EXPORT spherebenchTargets)
install(EXPORT spherebenchTargets NAMESPACE spherebench:: DESTINATION ${spherebench_package_dir})

# The config recreates what the vector layer links to (Highway and SLEEF, as
# spherebench::hwy and spherebench::sleef) when it was built.
if(TARGET spherebench_vector)
    set(SPHEREBENCH_PACKAGE_HAS_VECTOR ON)
else()
    set(SPHEREBENCH_PACKAGE_HAS_VECTOR OFF)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/package/spherebenchConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/spherebenchConfig.cmake
                              INSTALL_DESTINATION ${spherebench_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/spherebenchConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/spherebenchConfig.cmake
              ${PROJECT_BINARY_DIR}/package/spherebenchConfigVersion.cmake
        DESTINATION ${spherebench_package_dir})

# pkg-config: spherebench (the scalar layers) and, where built,
# spherebench-vector. The prefix is found from the file's own place, so the
# installed tree can be moved.
set(spherebench_pc_prefix "\${pcfiledir}/..")
string(REPLACE "/" ";" libdir_parts "${CMAKE_INSTALL_LIBDIR}")
foreach(part IN LISTS libdir_parts)
    string(APPEND spherebench_pc_prefix "/..")
endforeach()
set(spherebench_pc_libs "")
foreach(layer IN LISTS spherebench_exported_layers)
    if(NOT layer STREQUAL "vector")
        string(PREPEND spherebench_pc_libs "-lspherebench_${layer} ")
    endif()
endforeach()
string(STRIP "${spherebench_pc_libs}" spherebench_pc_libs)
configure_file(${PROJECT_SOURCE_DIR}/cmake/package/spherebench.pc.in ${PROJECT_BINARY_DIR}/package/spherebench.pc @ONLY)
set(spherebench_pc_files ${PROJECT_BINARY_DIR}/package/spherebench.pc)
if(TARGET spherebench_vector)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/package/spherebench-vector.pc.in
                   ${PROJECT_BINARY_DIR}/package/spherebench-vector.pc @ONLY)
    list(APPEND spherebench_pc_files ${PROJECT_BINARY_DIR}/package/spherebench-vector.pc)
endif()
install(FILES ${spherebench_pc_files} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
