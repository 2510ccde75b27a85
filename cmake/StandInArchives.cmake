# The three plug-in archives the installer embeds. By default the build makes stand-in
# bundles whose modules are real PE32+ DLLs carrying the product version; a maker points
# QF_ARCHIVE_DIR (vst3.zip, clap.zip, aax.zip) or QF_<FORMAT>_ARCHIVE at real archives.

set(QF_ARCHIVE_DIR "" CACHE PATH "Folder holding vst3.zip, clap.zip and aax.zip from the product's build")
set(QF_VST3_ARCHIVE "" CACHE FILEPATH "The product's VST3 archive")
set(QF_CLAP_ARCHIVE "" CACHE FILEPATH "The product's CLAP archive")
set(QF_AAX_ARCHIVE "" CACHE FILEPATH "The product's AAX archive")
set(QF_STANDIN_MODULE_BYTES 18000000 CACHE STRING "Size of each stand-in module's code-like payload")

find_program(QF_WINDRES NAMES x86_64-w64-mingw32-windres)
find_program(QF_MINGW_OBJCOPY NAMES x86_64-w64-mingw32-objcopy)
find_program(QF_MINGW_LD NAMES x86_64-w64-mingw32-ld)

# The build tool runs on the build machine: a cross-build takes it from a native build.
if(CMAKE_CROSSCOMPILING)
    set(QF_BUILD_TOOL "" CACHE FILEPATH "qf_build_tool from a native build of this project")
    if(NOT EXISTS "${QF_BUILD_TOOL}")
        message(FATAL_ERROR "A cross-build needs QF_BUILD_TOOL, the qf_build_tool of a native build")
    endif()
    add_executable(qf_build_tool IMPORTED)
    set_target_properties(qf_build_tool PROPERTIES IMPORTED_LOCATION ${QF_BUILD_TOOL})
else()
    add_executable(qf_build_tool packaging/tools/qf_build_tool.cpp Source/core/ArchiveChecks.cpp Source/core/TextDecoding.cpp)
    target_include_directories(qf_build_tool PRIVATE Source/core)
    target_link_libraries(qf_build_tool PRIVATE juce)
endif()

set(QF_STANDIN_DIR "${CMAKE_BINARY_DIR}/standin")
configure_file(packaging/standin/module.rc.in ${QF_STANDIN_DIR}/module.rc @ONLY)
configure_file(packaging/standin/moduleinfo.json.in ${QF_STANDIN_DIR}/moduleinfo.json @ONLY)

# A real PE32+ DLL: the version resource plus a payload section of realistic size.
function(qf_standin_module format seed out_module)
    if(NOT QF_WINDRES OR NOT QF_MINGW_OBJCOPY OR NOT QF_MINGW_LD)
        message(FATAL_ERROR "binutils-mingw-w64-x86-64 is needed to build the stand-in plug-in modules "
                            "(or point QF_ARCHIVE_DIR at the product's archives)")
    endif()
    set(dir ${QF_STANDIN_DIR}/${format})
    add_custom_command(
        OUTPUT ${dir}/module.dll
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${QF_WINDRES} --preprocessor=cpp ${QF_STANDIN_DIR}/module.rc -O coff -o ${dir}/version.o
        COMMAND qf_build_tool payload ${dir}/payload.bin ${QF_STANDIN_MODULE_BYTES} ${seed}
        COMMAND ${QF_MINGW_OBJCOPY} -I binary -O pe-x86-64 -B i386:x86-64
                --rename-section .data=.rdata,alloc,load,readonly,data,contents payload.bin payload.o
        COMMAND ${QF_MINGW_LD} --dll -e 0 --subsystem windows -o module.dll version.o payload.o
        WORKING_DIRECTORY ${dir}
        DEPENDS qf_build_tool ${QF_STANDIN_DIR}/module.rc
        COMMENT "Building the ${format} stand-in module")
    set(${out_module} ${dir}/module.dll PARENT_SCOPE)
endfunction()

function(qf_standin_archive format out_zip)
    set(bundle "${QF_PRODUCT_NAME}.${format}")
    set(zip ${QF_STANDIN_DIR}/${format}.zip)
    set(ico ${QF_STANDIN_DIR}/Plugin.ico)
    set(ini ${CMAKE_SOURCE_DIR}/packaging/standin/desktop.ini)
    if(format STREQUAL "vst3")
        qf_standin_module(vst3 11 module)
        set(entries "${bundle}\\Contents\\=" "${bundle}\\desktop.ini=${ini}" "${bundle}\\Plugin.ico=${ico}"
                    "${bundle}\\Contents\\Resources\\moduleinfo.json=${QF_STANDIN_DIR}/moduleinfo.json"
                    "${bundle}\\Contents\\x86_64-win\\${bundle}=${module}")
    elseif(format STREQUAL "clap")
        qf_standin_module(clap 22 module)
        set(entries "${bundle}=${module}")
    else()
        set(bundle "${QF_PRODUCT_NAME}.aaxplugin")
        qf_standin_module(aax 33 module)
        set(entries "${bundle}\\Contents\\=" "${bundle}\\desktop.ini=${ini}" "${bundle}\\Plugin.ico=${ico}"
                    "${bundle}\\Contents\\x64\\${bundle}=${module}")
    endif()
    add_custom_command(
        OUTPUT ${zip}
        COMMAND qf_build_tool zip ${zip} ${entries}
        DEPENDS qf_build_tool ${module} ${ico} ${ini} ${QF_STANDIN_DIR}/moduleinfo.json
        COMMENT "Packing the ${format} stand-in archive"
        VERBATIM)
    set(${out_zip} ${zip} PARENT_SCOPE)
endfunction()

add_custom_command(
    OUTPUT ${QF_STANDIN_DIR}/Plugin.ico
    COMMAND qf_build_tool ico ${QF_STANDIN_DIR}/Plugin.ico ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg 0094d8 16 32 48
    DEPENDS qf_build_tool ${CMAKE_SOURCE_DIR}/Resources/icon_install.svg
    COMMENT "Rendering the stand-in bundle icon")

set(QF_ARCHIVES)
foreach(format vst3 clap aax)
    string(TOUPPER ${format} upper)
    if(QF_${upper}_ARCHIVE)
        set(zip ${QF_${upper}_ARCHIVE})
    elseif(QF_ARCHIVE_DIR)
        set(zip ${QF_ARCHIVE_DIR}/${format}.zip)
    else()
        qf_standin_archive(${format} zip)
    endif()
    list(APPEND QF_ARCHIVES ${zip})
endforeach()
