# Cross-builds the Windows x86-64 executable on Debian with GCC's MinGW-w64 toolchain (POSIX
# threads). scripts/build-windows.sh passes the folders below; see that script for where
# each comes from.
#   QF_MINGW_SDK      mingw-w64 12 headers and import libraries (.../usr/x86_64-w64-mingw32):
#                     Debian 12's 10.x headers lack what JUCE 8's Direct2D renderer needs
#   QF_WINDOWS_DEPS   static zlib, libpng and libjpeg for Windows (include/, lib/)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# Passed on to try_compile projects, which configure with this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QF_MINGW_SDK QF_WINDOWS_DEPS)

if(NOT QF_MINGW_SDK OR NOT EXISTS "${QF_MINGW_SDK}/include/d2d1_3.h")
    message(FATAL_ERROR "QF_MINGW_SDK must name the mingw-w64 12 folder holding include/d2d1_3.h: run scripts/build-windows.sh")
endif()

set(qf_gcc_dir /usr/lib/gcc/x86_64-w64-mingw32/12-posix)
set(qf_windows_dir ${CMAKE_CURRENT_LIST_DIR})

# The default include folders would put Debian's 10.x headers first. -nostdinc, then GCC's own
# folders in their usual order (libstdc++'s wrappers #include_next the C headers behind them),
# then the 12.x headers and the libraries'. The shims come before all of them, so each can
# #include_next the header it mends.
set(qf_c_includes "-isystem ${qf_gcc_dir}/include -isystem ${qf_gcc_dir}/include-fixed -isystem ${QF_MINGW_SDK}/include")
if(QF_WINDOWS_DEPS)
    string(APPEND qf_c_includes " -isystem ${QF_WINDOWS_DEPS}/include")
endif()
set(qf_cxx_includes "-isystem ${qf_gcc_dir}/include/c++ -isystem ${qf_gcc_dir}/include/c++/x86_64-w64-mingw32 -isystem ${qf_gcc_dir}/include/c++/backward ${qf_c_includes}")

set(CMAKE_C_FLAGS_INIT "-nostdinc -I${qf_windows_dir}/shims ${qf_c_includes}")
set(CMAKE_CXX_FLAGS_INIT "-nostdinc -I${qf_windows_dir}/shims ${qf_cxx_includes}")

# The 12.x import libraries and start-up objects first; everything static, so the executable
# needs no libstdc++, libgcc or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${QF_MINGW_SDK}/lib -B${QF_MINGW_SDK}/lib/ -static")
# A release executable ships without symbols (about 5 MB of them).
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
