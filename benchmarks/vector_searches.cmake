# The vector searches of the benchmark suite and their test: built only when
# both Highway and SLEEF are installed (Debian: libhwy-dev, libsleef-dev).
# Highway compiles each kernel for every x86 target and picks one at run time,
# so no -march flag is needed and the binaries stay baseline x86-64.
# Highway by its own CMake package, which also sets its compile definitions.
find_package(hwy QUIET)
find_optional_library(sleef sleef.h sleef)
if(hwy_FOUND AND SPHEREBENCH_HAVE_sleef)
    add_library(spherebench_vector_search STATIC
        benchmarks/cdc_vector_search.cpp
        benchmarks/latlong_vector_search.cpp
        benchmarks/sleef_avx.cpp
        benchmarks/sleef_avx512.cpp
    )
    # Called only where the search's run-time choice of target has them.
    set_source_files_properties(benchmarks/sleef_avx.cpp PROPERTIES COMPILE_OPTIONS -mavx)
    set_source_files_properties(benchmarks/sleef_avx512.cpp PROPERTIES COMPILE_OPTIONS -mavx512f)
    target_include_directories(spherebench_vector_search PUBLIC benchmarks)
    target_link_libraries(spherebench_vector_search PUBLIC spherebench_core hwy::hwy PRIVATE sleef)
else()
    message(STATUS "Highway or SLEEF not found (libhwy-dev, libsleef-dev): skipping the vector searches and their test")
endif()
