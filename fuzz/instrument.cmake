# The fuzz build: everything the fuzz targets run is instrumented for coverage and checked by
# AddressSanitizer and UndefinedBehaviorSanitizer; any finding ends the run.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KADREL_BUILD_FUZZ needs clang: configure with CXX=clang++")
endif()
add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
