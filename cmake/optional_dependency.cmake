# Optional libraries of the measurements beyond the program (s2geometry,
# GeographicLib, Highway, SLEEF, ...), each found once and offered as a
# namespaced imported target, spherebench::<name>: a misspelt target then fails
# at configure time instead of becoming a bare -l flag. Configure says of each
# optional part, in one line, whether it is built and with what, or why not.

# A tri-state option: AUTO (the default) builds the part where its libraries
# are found, ON requires them, OFF skips the part.
function(spherebench_part_option option description)
    set(${option} AUTO CACHE STRING "${description} (AUTO, ON or OFF)")
    set_property(CACHE ${option} PROPERTY STRINGS AUTO ON OFF)
endfunction()

# How configure's lines name a library target: LABEL and VERSION as its users
# know them, and the Debian packages (INSTALL) that provide it. In a cross
# build the packages are the target architecture's, SPHEREBENCH_DEBIAN_ARCH
# (set by the toolchain file).
function(spherebench_describe_library target)
    cmake_parse_arguments(arg "" "LABEL;VERSION" "INSTALL" ${ARGN})
    string(STRIP "${arg_LABEL} ${arg_VERSION}" label)
    set_property(GLOBAL PROPERTY spherebench_label_${target} "${label}")
    if(arg_INSTALL AND SPHEREBENCH_DEBIAN_ARCH)
        list(TRANSFORM arg_INSTALL APPEND ":${SPHEREBENCH_DEBIAN_ARCH}")
    endif()
    set_property(GLOBAL PROPERTY spherebench_install_${target} "${arg_INSTALL}")
endfunction()

# The version a header spells in its macros (major, minor, patch), or "".
function(spherebench_header_version result header)
    set(parts "")
    foreach(macro IN LISTS ARGN)
        file(STRINGS ${header} line REGEX "^#define ${macro} +[0-9]+")
        string(REGEX REPLACE "^#define ${macro} +([0-9]+).*" "\\1" part "${line}")
        list(APPEND parts ${part})
    endforeach()
    list(JOIN parts "." version)
    set(${result} "${version}" PARENT_SCOPE)
endfunction()

# Defines spherebench::<name> when the library is found: by the package's own
# CMake configuration (PACKAGE, PACKAGE_TARGET) where it has one, else by its
# HEADER and LIBRARY file (no LIBRARY: header-only). LABEL (default <name>)
# and INSTALL describe it as spherebench_describe_library does; its version is
# the package's, or the one VERSION_MACROS spell in VERSION_HEADER (default
# HEADER). Sets <name>_FOUND in the caller.
function(spherebench_find_library name)
    cmake_parse_arguments(arg "" "PACKAGE;PACKAGE_TARGET;HEADER;LIBRARY;LABEL;VERSION_HEADER" "VERSION_MACROS;INSTALL" ${ARGN})
    set(target spherebench::${name})
    set(${name}_FOUND OFF PARENT_SCOPE)
    if(TARGET ${target})
        set(${name}_FOUND ON PARENT_SCOPE)
        return()
    endif()
    if(NOT arg_LABEL)
        set(arg_LABEL ${name})
    endif()
    if(NOT arg_VERSION_HEADER)
        set(arg_VERSION_HEADER ${arg_HEADER})
    endif()
    spherebench_describe_library(${target} LABEL "${arg_LABEL}" INSTALL ${arg_INSTALL})
    if(arg_PACKAGE)
        find_package(${arg_PACKAGE} CONFIG QUIET)
        if(TARGET ${arg_PACKAGE_TARGET})
            add_library(${target} INTERFACE IMPORTED GLOBAL)
            target_link_libraries(${target} INTERFACE ${arg_PACKAGE_TARGET})
            spherebench_describe_library(${target} LABEL "${arg_LABEL}" VERSION "${${arg_PACKAGE}_VERSION}"
                                         INSTALL ${arg_INSTALL})
            set(${name}_FOUND ON PARENT_SCOPE)
            return()
        endif()
    endif()
    if(NOT arg_HEADER)
        return()
    endif()
    find_path(${name}_INCLUDE_DIR ${arg_HEADER})
    if(arg_LIBRARY)
        find_library(${name}_LIBRARY ${arg_LIBRARY})
    endif()
    if(NOT ${name}_INCLUDE_DIR OR (arg_LIBRARY AND NOT ${name}_LIBRARY))
        return()
    endif()
    if(arg_LIBRARY)
        add_library(${target} UNKNOWN IMPORTED GLOBAL)
        set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${${name}_LIBRARY})
    else()
        add_library(${target} INTERFACE IMPORTED GLOBAL)
    endif()
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${${name}_INCLUDE_DIR})
    spherebench_header_version(version ${${name}_INCLUDE_DIR}/${arg_VERSION_HEADER} ${arg_VERSION_MACROS})
    spherebench_describe_library(${target} LABEL "${arg_LABEL}" VERSION "${version}" INSTALL ${arg_INSTALL})
    set(${name}_FOUND ON PARENT_SCOPE)
endfunction()

# libFuzzer, which comes with clang: spherebench::libFuzzer links the fuzzer's
# own main into a fuzz target, where this compiler can link one.
function(spherebench_find_libfuzzer)
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
    check_cxx_source_compiles("extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }"
                              SPHEREBENCH_HAVE_LIBFUZZER)
    if(SPHEREBENCH_HAVE_LIBFUZZER)
        add_library(spherebench::libFuzzer INTERFACE IMPORTED GLOBAL)
        target_link_options(spherebench::libFuzzer INTERFACE -fsanitize=fuzzer)
    endif()
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        set(version ${CMAKE_CXX_COMPILER_VERSION})
    endif()
    spherebench_describe_library(spherebench::libFuzzer LABEL "clang's libFuzzer" VERSION "${version}"
                                 INSTALL clang libclang-rt-14-dev)
endfunction()

# Says why a part that `option` allows is not built: a skip with AUTO, an
# error where the option requires the part.
function(spherebench_part_missing option what why)
    string(TOUPPER "${${option}}" value)
    if(NOT value STREQUAL "AUTO")
        message(FATAL_ERROR "spherebench: ${what}: ${option}=${${option}} but ${why}")
    endif()
    message(STATUS "spherebench: ${what}: skipped (${why})")
endfunction()

# The labels of the library targets given that exist (found) and of those
# that don't (missing), and the packages that provide the missing ones.
function(spherebench_sort_libraries found missing install)
    foreach(target IN LISTS ARGN)
        get_property(label GLOBAL PROPERTY spherebench_label_${target})
        if(NOT label)
            string(REGEX REPLACE "^spherebench::" "" label ${target})
        endif()
        if(TARGET ${target})
            list(APPEND found_labels "${label}")
        else()
            list(APPEND missing_labels "${label}")
            get_property(packages GLOBAL PROPERTY spherebench_install_${target})
            list(APPEND packages_to_install ${packages})
        endif()
    endforeach()
    set(${found} "${found_labels}" PARENT_SCOPE)
    set(${missing} "${missing_labels}" PARENT_SCOPE)
    set(${install} "${packages_to_install}" PARENT_SCOPE)
endfunction()

# Decides whether the part of `option` is built and says so in one line,
# "spherebench: <what>: built (<libraries>)" or "...: skipped (<why>)": sets
# <result> ON when the option allows it (AUTO, or ON or another true value),
# the parts it builds on (PARTS, their results) are built and every target in
# REQUIRES exists. With AUTO a missing part or library skips the part;
# otherwise it stops the configuration. HINT, where given, replaces the
# packages that the libraries' descriptions name for installing.
function(spherebench_part_enabled result option what)
    cmake_parse_arguments(arg "" "HINT" "PARTS;REQUIRES" ${ARGN})
    set(${result} OFF PARENT_SCOPE)
    set_property(GLOBAL PROPERTY spherebench_part_${result} "${what}")
    if(NOT ${option})
        message(STATUS "spherebench: ${what}: skipped (${option}=${${option}})")
        return()
    endif()
    foreach(part IN LISTS arg_PARTS)
        if(NOT ${part})
            get_property(part_name GLOBAL PROPERTY spherebench_part_${part})
            spherebench_part_missing(${option} "${what}" "${part_name} not built")
            return()
        endif()
    endforeach()
    spherebench_sort_libraries(found missing install ${arg_REQUIRES})
    if(missing)
        list(JOIN missing ", " why)
        string(APPEND why " not found")
        if(arg_HINT)
            set(install "${arg_HINT}")
        endif()
        if(install)
            list(REMOVE_DUPLICATES install)
            list(JOIN install " " install)
            string(APPEND why "; install ${install}")
        endif()
        spherebench_part_missing(${option} "${what}" "${why}")
        return()
    endif()
    if(found)
        list(JOIN found ", " found)
        set(found " (${found})")
    endif()
    message(STATUS "spherebench: ${what}: built${found}")
    set(${result} ON PARENT_SCOPE)
endfunction()
