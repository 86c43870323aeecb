# The libraries as another project uses them (cmake -P): the build installed
# into a fresh prefix, examples/nearest configured against the CMake package
# alone, built and run; then the same source compiled with only the flags
# pkg-config gives (where pkg-config is). Both programs must print the
# expected nearest airports, and the package must have given the example's
# compilation C++20 and -ffp-contract=off. With -DPYTHON (where the build has
# the Python module) the installed module must import from the prefix.
#   -DBUILD_DIR -DWORK_DIR -DEXAMPLE_DIR -DCXX_COMPILER -DCXX_FLAGS -DLINKER_FLAGS [-DPYTHON -DPYTHON_DIR]
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "${command} failed (${status}):\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

# Distances by the haversine formula on a sphere of 6371 km, rounded to the
# kilometre.
set(expected "Brussels: Amsterdam Schiphol (AMS), 165 km
Oxford: London Heathrow (LHR), 63 km
Zurich: Frankfurt (FRA), 295 km
")
function(check_output program)
    run(${program})
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "${program} printed\n${out}\ninstead of\n${expected}")
    endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

run(${CMAKE_COMMAND} -S ${EXAMPLE_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
file(READ ${WORK_DIR}/build/compile_commands.json commands)
foreach(flag -ffp-contract=off "-std=(c|gnu)\\+\\+20" "/include/spherebench")
    if(NOT commands MATCHES "${flag}")
        message(FATAL_ERROR "the example was compiled without ${flag}:\n${commands}")
    endif()
endforeach()
check_output(${WORK_DIR}/build/nearest)

find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
    file(GLOB pc_files ${prefix}/*/pkgconfig/spherebench.pc ${prefix}/*/*/pkgconfig/spherebench.pc)
    list(GET pc_files 0 pc_file)
    get_filename_component(pc_dir ${pc_file} DIRECTORY)
    set(ENV{PKG_CONFIG_PATH} ${pc_dir})
    run(${PKG_CONFIG} --cflags --libs spherebench)
    separate_arguments(pc_flags UNIX_COMMAND "${out}")
    separate_arguments(cxx_flags UNIX_COMMAND "${CXX_FLAGS} ${LINKER_FLAGS}")
    run(${CXX_COMPILER} ${cxx_flags} ${EXAMPLE_DIR}/nearest.cpp ${pc_flags} -o ${WORK_DIR}/nearest_pkg_config)
    check_output(${WORK_DIR}/nearest_pkg_config)
endif()

if(PYTHON)
    set(ENV{PYTHONPATH} ${prefix}/${PYTHON_DIR})
    # One statement a line: a semicolon would split the argument in two.
    run(${PYTHON} -c "import spherebench\nprint(spherebench.__file__)\nprint(spherebench.decode(spherebench.encode([0], [0]))[0, 0])")
    if(NOT out MATCHES "^${prefix}/${PYTHON_DIR}/spherebench[^\n]*\n1.0\n$")
        message(FATAL_ERROR "the installed Python module printed\n${out}")
    endif()
endif()
