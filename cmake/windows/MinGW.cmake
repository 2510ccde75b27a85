# What the MinGW-w64 cross-build needs beyond the toolchain file: the forced-include header for
# every C and C++ compile, the system libraries MSVC would pull in through #pragma comment(lib),
# the static zlib, libpng and libjpeg, and one source of definitions MinGW lacks.

set(QF_WINDOWS_DEPS "" CACHE PATH "Static zlib, libpng and libjpeg for Windows (include/, lib/)")
if(NOT EXISTS "${QF_WINDOWS_DEPS}/lib/libpng.a" OR NOT EXISTS "${QF_WINDOWS_DEPS}/lib/libjpeg.a")
    message(FATAL_ERROR "QF_WINDOWS_DEPS must hold lib/libpng.a and lib/libjpeg.a: run scripts/build-windows.sh")
endif()

add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-include${CMAKE_CURRENT_LIST_DIR}/mingw_prelude.h>")

set(QF_WINDOWS_SYSTEM_LIBRARIES
    d2d1 d3d11 dxgi dcomp dwmapi wininet ws2_32 imm32 winmm comctl32 dbghelp shlwapi version sapi
    ole32 oleaut32 uuid shell32 comdlg32 advapi32 gdi32 user32 kernel32)

function(qf_link_windows_libraries target)
    # Full paths: a plain -lz would pick zlib's DLL import library.
    target_link_libraries(${target} PUBLIC ${QF_WINDOWS_DEPS}/lib/libpng.a ${QF_WINDOWS_DEPS}/lib/libjpeg.a
                          ${QF_WINDOWS_DEPS}/lib/libz.a ${QF_WINDOWS_SYSTEM_LIBRARIES})
endfunction()
