# Optional libraries of the measurements beyond the program (s2geometry,
# GeographicLib, Highway, SLEEF), each found once and offered as a namespaced
# imported target, spherebench::<name>: a misspelt target then fails at
# configure time instead of becoming a bare -l flag.

# A tri-state option: AUTO (the default) builds the part where its libraries
# are found, ON requires them, OFF skips the part.
function(spherebench_part_option option description)
    set(${option} AUTO CACHE STRING "${description} (AUTO, ON or OFF)")
    set_property(CACHE ${option} PROPERTY STRINGS AUTO ON OFF)
endfunction()

# Defines spherebench::<name> when the library is found: by the package's own
# CMake configuration (package_target) where it has one, else by its header
# and library file (by its header alone when it names no LIBRARY). Sets
# <name>_FOUND in the caller.
function(spherebench_find_library name)
    cmake_parse_arguments(arg "" "PACKAGE;PACKAGE_TARGET;HEADER;LIBRARY" "" ${ARGN})
    set(${name}_FOUND OFF PARENT_SCOPE)
    if(TARGET spherebench::${name})
        set(${name}_FOUND ON PARENT_SCOPE)
        return()
    endif()
    if(arg_PACKAGE)
        find_package(${arg_PACKAGE} CONFIG QUIET)
        if(TARGET ${arg_PACKAGE_TARGET})
            add_library(spherebench::${name} INTERFACE IMPORTED GLOBAL)
            target_link_libraries(spherebench::${name} INTERFACE ${arg_PACKAGE_TARGET})
            set(${name}_FOUND ON PARENT_SCOPE)
            return()
        endif()
    endif()
    find_path(${name}_INCLUDE_DIR ${arg_HEADER})
    if(NOT arg_LIBRARY)
        # A library of headers only.
        if(${name}_INCLUDE_DIR)
            add_library(spherebench::${name} INTERFACE IMPORTED GLOBAL)
            target_include_directories(spherebench::${name} INTERFACE ${${name}_INCLUDE_DIR})
            set(${name}_FOUND ON PARENT_SCOPE)
        endif()
        return()
    endif()
    find_library(${name}_LIBRARY ${arg_LIBRARY})
    if(${name}_INCLUDE_DIR AND ${name}_LIBRARY)
        add_library(spherebench::${name} UNKNOWN IMPORTED GLOBAL)
        set_target_properties(spherebench::${name} PROPERTIES IMPORTED_LOCATION ${${name}_LIBRARY}
                                                            INTERFACE_INCLUDE_DIRECTORIES ${${name}_INCLUDE_DIR})
        set(${name}_FOUND ON PARENT_SCOPE)
    endif()
endfunction()

# Decides whether the part of `option` is built: sets <result> ON when the
# option allows it and every target in REQUIRES exists. With the option ON a
# missing library stops the configuration; with AUTO the skip is said in one
# line.
function(spherebench_part_enabled result option what)
    cmake_parse_arguments(arg "" "HINT" "REQUIRES" ${ARGN})
    set(${result} OFF PARENT_SCOPE)
    if(${option} STREQUAL "OFF")
        message(STATUS "${option}=OFF: skipping ${what}")
        return()
    endif()
    set(missing "")
    foreach(target IN LISTS arg_REQUIRES)
        if(NOT TARGET ${target})
            list(APPEND missing ${target})
        endif()
    endforeach()
    if(missing)
        list(JOIN missing ", " missing)
        if(${option} STREQUAL "ON")
            message(FATAL_ERROR "${option}=ON but ${missing} not found (${arg_HINT})")
        endif()
        message(STATUS "${missing} not found (${arg_HINT}): skipping ${what}")
        return()
    endif()
    set(${result} ON PARENT_SCOPE)
endfunction()
