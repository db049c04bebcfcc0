# The shipped 32-bit target built by Debian's Clang instead of GCC, over the
# same mingw-w64 headers and libraries (GCC's libstdc++ and winpthreads) and
# linked by lld; windres stays the mingw-w64 one. A second compiler for the
# warnings, not a build to ship.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-i686.cmake)
set(plyx_triple ${PLYX_MINGW_TRIPLE})
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${plyx_triple})
set(CMAKE_CXX_COMPILER_TARGET ${plyx_triple})
set(CMAKE_SYSROOT /usr/${plyx_triple})

# Clang 14 does not take Debian's GCC folder for this target ("12-posix" is not
# a version to it), so it would find no C++ library headers and fall back to
# the host's /usr/include: name GCC's folder, which that GCC reports itself.
execute_process(COMMAND ${plyx_triple}-gcc-posix -print-libgcc-file-name
                OUTPUT_VARIABLE plyx_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(plyx_gcc_dir ${plyx_libgcc} DIRECTORY)
set(plyx_cxx_headers ${plyx_gcc_dir}/include/c++)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${plyx_cxx_headers} -isystem ${plyx_cxx_headers}/${plyx_triple} -isystem ${plyx_cxx_headers}/backward")
# GCC's driver adds winpthreads (under std::thread) by itself; lld finds it
# wherever it stands on the line.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${plyx_gcc_dir} -lpthread")
