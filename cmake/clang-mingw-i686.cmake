# The second compiler: Clang for the same 32-bit Windows target, with the
# MinGW-w64 headers, C++ library and linker of the Debian cross toolchain.
# It only has to compile and link: the tests run from the GCC build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(triple i686-w64-mingw32)
# Debian names the GCC library folder after the thread model (12-posix),
# which Clang's driver does not recognise: name it ourselves.
file(GLOB gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${triple}/*-posix)
list(SORT gcc_dirs)
list(POP_BACK gcc_dirs gcc_dir)
if(NOT gcc_dir)
  message(FATAL_ERROR "No MinGW-w64 GCC (posix) found below /usr/lib/gcc/${triple}: install g++-mingw-w64-i686.")
endif()

set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   ${triple})
set(CMAKE_CXX_COMPILER_TARGET ${triple})
set(CMAKE_RC_COMPILER  ${triple}-windres)

# The MinGW-w64 tree is the whole system: the host's /usr/include stays out.
set(CMAKE_C_FLAGS_INIT "--sysroot=/usr/${triple}")
set(CMAKE_CXX_FLAGS_INIT "--sysroot=/usr/${triple}")
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${gcc_dir}/include/c++ ${gcc_dir}/include/c++/${triple} ${gcc_dir}/include/c++/backward)
# GNU ld from the cross toolchain; the C++ library, its unwinder and the
# thread library come early, so that each finds what the next one defines.
set(link_init "--ld-path=/usr/bin/${triple}-ld -L${gcc_dir}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_init}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link_init}")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lstdc++ -lgcc_eh -lpthread")

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
