# Builds the JUCE modules the installer uses into one static library, `juce`.
# JUCE's own CMake helpers are not used: they run a helper binary at configure time.

set(JUCE_MODULES_DIR "$ENV{HOME}/.cache/qf_installer/juce-8.0.6/modules" CACHE PATH
    "Folder holding the JUCE 8 modules (juce_core, juce_graphics, ...)")

if(NOT EXISTS "${JUCE_MODULES_DIR}/juce_core/juce_core.h")
    message(FATAL_ERROR "JUCE modules not found in ${JUCE_MODULES_DIR}: run scripts/setup.sh first")
endif()

set(QF_JUCE_MODULES juce_core juce_events juce_data_structures juce_graphics juce_gui_basics juce_gui_extra)

set(juce_sources
    ${JUCE_MODULES_DIR}/juce_core/juce_core_CompilationTime.cpp
    ${JUCE_MODULES_DIR}/juce_graphics/juce_graphics_Harfbuzz.cpp
    ${JUCE_MODULES_DIR}/juce_graphics/juce_graphics_Sheenbidi.c)
foreach(module IN LISTS QF_JUCE_MODULES)
    list(APPEND juce_sources ${JUCE_MODULES_DIR}/${module}/${module}.cpp)
endforeach()

add_library(juce STATIC ${juce_sources})

set(juce_definitions
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=1
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_MODAL_LOOPS_PERMITTED=0
    $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>
    $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>)
foreach(module IN LISTS QF_JUCE_MODULES)
    list(APPEND juce_definitions JUCE_MODULE_AVAILABLE_${module}=1)
endforeach()

target_compile_definitions(juce PUBLIC ${juce_definitions})
target_compile_features(juce PUBLIC cxx_std_17)
# JUCE's headers are system headers to us: our warnings-as-errors never apply to them.
target_include_directories(juce SYSTEM PUBLIC ${JUCE_MODULES_DIR})
set_target_properties(juce PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_compile_options(juce PRIVATE -w)

if(MINGW)
    qf_link_windows_libraries(juce)
elseif(UNIX AND NOT APPLE)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(QF_JUCE_LINUX_DEPS REQUIRED IMPORTED_TARGET freetype2 fontconfig libpng libjpeg zlib)
    target_link_libraries(juce PUBLIC PkgConfig::QF_JUCE_LINUX_DEPS ${CMAKE_DL_LIBS} pthread rt)
endif()
