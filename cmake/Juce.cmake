# Builds the JUCE modules the installer uses into two static libraries: `juce_core_only`
# (juce_core alone, for the installer core and the command line) and `juce` (the GUI modules
# on top of it, for the window). JUCE's own CMake helpers are not used: they run a helper
# binary at configure time.

set(JUCE_MODULES_DIR "$ENV{HOME}/.cache/qf_installer/juce-8.0.6/modules" CACHE PATH
    "Folder holding the JUCE 8 modules (juce_core, juce_graphics, ...)")

if(NOT EXISTS "${JUCE_MODULES_DIR}/juce_core/juce_core.h")
    message(FATAL_ERROR "JUCE modules not found in ${JUCE_MODULES_DIR}: run scripts/setup.sh first")
endif()

set(QF_JUCE_GUI_MODULES juce_events juce_data_structures juce_graphics juce_gui_basics juce_gui_extra)

# Both libraries are compiled with the same settings, so the headers they share read the same.
set(juce_definitions
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=1
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_MODAL_LOOPS_PERMITTED=0
    $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>
    $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>)
foreach(module IN ITEMS juce_core ${QF_JUCE_GUI_MODULES})
    list(APPEND juce_definitions JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()

function(qf_juce_library target)
    target_compile_definitions(${target} PUBLIC ${juce_definitions})
    target_compile_features(${target} PUBLIC cxx_std_17)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_compile_options(${target} PRIVATE -w)
endfunction()

# The core's include folder holds juce_core and nothing else, so a GUI header included by the
# core, or by anything that links only the core, is a compile error.
set(QF_JUCE_CORE_INCLUDE "${CMAKE_BINARY_DIR}/juce_core_only")
file(MAKE_DIRECTORY ${QF_JUCE_CORE_INCLUDE})
file(CREATE_LINK ${JUCE_MODULES_DIR}/juce_core ${QF_JUCE_CORE_INCLUDE}/juce_core SYMBOLIC)

add_library(juce_core_only STATIC
    ${JUCE_MODULES_DIR}/juce_core/juce_core.cpp
    ${JUCE_MODULES_DIR}/juce_core/juce_core_CompilationTime.cpp)
qf_juce_library(juce_core_only)
# JUCE's headers are system headers to us: our warnings-as-errors never apply to them.
target_include_directories(juce_core_only SYSTEM PUBLIC ${QF_JUCE_CORE_INCLUDE})

set(juce_gui_sources
    ${JUCE_MODULES_DIR}/juce_graphics/juce_graphics_Harfbuzz.cpp
    ${JUCE_MODULES_DIR}/juce_graphics/juce_graphics_Sheenbidi.c)
foreach(module IN LISTS QF_JUCE_GUI_MODULES)
    list(APPEND juce_gui_sources ${JUCE_MODULES_DIR}/${module}/${module}.cpp)
endforeach()

add_library(juce STATIC ${juce_gui_sources})
qf_juce_library(juce)
target_include_directories(juce SYSTEM PUBLIC ${JUCE_MODULES_DIR})
target_link_libraries(juce PUBLIC juce_core_only)

if(MINGW)
    qf_link_windows_libraries(juce_core_only)
    target_sources(juce PRIVATE ${CMAKE_SOURCE_DIR}/cmake/windows/mingw_uuidof.cpp)
elseif(UNIX AND NOT APPLE)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(QF_ZLIB REQUIRED IMPORTED_TARGET zlib)
    pkg_check_modules(QF_JUCE_GUI_DEPS REQUIRED IMPORTED_TARGET freetype2 fontconfig libpng libjpeg)
    target_link_libraries(juce_core_only PUBLIC PkgConfig::QF_ZLIB ${CMAKE_DL_LIBS} pthread rt)
    target_link_libraries(juce PUBLIC PkgConfig::QF_JUCE_GUI_DEPS)
endif()
