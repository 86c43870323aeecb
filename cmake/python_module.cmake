# The Python module's part, included by the top-level CMakeLists.txt: pybind11
# and NumPy for one interpreter. By default that is Debian's /usr/bin/python3
# where it exists, the interpreter its python3-numpy and python3-pybind11
# belong to, rather than whichever python3 comes first on PATH;
# -DPython3_EXECUTABLE=... names another. Sets SPHEREBENCH_BUILD_PYTHON, and
# SPHEREBENCH_PYTHON_INSTALL_DIR, the module's folder under the install prefix.
set(spherebench_python_what "Python module")
if(NOT SPHEREBENCH_WITH_PYTHON STREQUAL "OFF" AND (CMAKE_CROSSCOMPILING OR CMAKE_CXX_FLAGS MATCHES "-fsanitize"))
    # The host's interpreter could not load a module built for another machine
    # or carrying a sanitizer's runtime.
    if(SPHEREBENCH_WITH_PYTHON STREQUAL "ON")
        message(FATAL_ERROR "SPHEREBENCH_WITH_PYTHON=ON, but a cross or sanitizer build makes no Python module")
    endif()
    message(STATUS "spherebench: ${spherebench_python_what}: skipped (a cross or sanitizer build)")
    set(SPHEREBENCH_BUILD_PYTHON OFF)
else()
    if(NOT SPHEREBENCH_WITH_PYTHON STREQUAL "OFF")
        if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
            set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The Python interpreter the module is built for")
        endif()
        find_package(Python3 COMPONENTS Interpreter Development.Module NumPy QUIET)
        if(TARGET Python3::Module)
            find_package(pybind11 CONFIG QUIET)
        endif()
    endif()
    spherebench_part_enabled(SPHEREBENCH_BUILD_PYTHON SPHEREBENCH_WITH_PYTHON "${spherebench_python_what}"
        REQUIRES Python3::Module Python3::NumPy pybind11::headers
        HINT "for ${Python3_EXECUTABLE}: python3-dev, python3-numpy, pybind11-dev")
endif()

if(SPHEREBENCH_BUILD_PYTHON)
    # The site folder relative to the interpreter's prefix (for Debian's,
    # lib/python3/dist-packages).
    execute_process(COMMAND ${Python3_EXECUTABLE} -c "import sys; print(sys.prefix)"
                    OUTPUT_VARIABLE spherebench_python_prefix OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(RELATIVE_PATH spherebench_site_dir "${spherebench_python_prefix}" "${Python3_SITEARCH}")
    if(spherebench_site_dir MATCHES "^\\.\\." OR spherebench_site_dir STREQUAL "")
        set(spherebench_site_dir lib/python3/dist-packages)
    endif()
    set(SPHEREBENCH_PYTHON_INSTALL_DIR ${spherebench_site_dir} CACHE STRING
        "Where the Python module is installed, under the prefix")
    message(STATUS "Python module for ${Python3_EXECUTABLE} (${Python3_VERSION}, NumPy ${Python3_NumPy_VERSION}): "
                   "built into python/ of the build folder, installed to <prefix>/${SPHEREBENCH_PYTHON_INSTALL_DIR}")
endif()
